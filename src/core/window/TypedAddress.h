#pragma once

#include <QString>

// What the text typed into the address box opens: the text itself as an
// address, or a search for it. Everything that looks like an address loads
// as typed; words go to the search page.
struct TypedAddress
{
    enum class Kind { Nothing, Address, Search };

    Kind kind = Kind::Nothing;
    // The address to load as typed, or the words to search for.
    QString text;

    static TypedAddress from(const QString &typed);
};

// The search page for `words`: `searchUrl` with each "%s" replaced by the
// words, encoded as a form encodes them (a space becomes "+"); without a
// "%s" the encoded words are appended.
QString searchAddress(const QString &searchUrl, const QString &words);
