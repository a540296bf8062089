#pragma once

#include <QString>
#include <optional>

// Everything the [Settings] section holds, read in one pass. This is the one
// place that knows the section's keys and values; only the exact stored
// words count ("True", not "true"), as they always have.
struct Preferences
{
    enum class StartPage { Unset, Continue, Home, Blank };
    enum class PopUps { Unset, Accept, Reject };

    StartPage startPage = StartPage::Unset;
    // "DoStartup": unset when the file says neither True nor False.
    std::optional<bool> showStartupDialog;
    bool confirmExit = false;
    PopUps popUps = PopUps::Unset;
    bool suppressErrors = false;
    QString lastUrl;
    QString homePage;
    // Where words typed into the address box are searched; "%s" stands for
    // the words. A privacy-respecting engine when the file names none.
    QString searchUrl;

    static Preferences fromBytes(const QByteArray &bytes);
    // One read of the settings file.
    static Preferences load();

    // ---- What a window starts with -----------------------------------------
    struct FirstPage
    {
        QString address; // empty: the window starts without a page
        bool keepInHistory = true;
    };
    FirstPage firstPage() const;

    // ---- What the start-up dialog offers ------------------------------------
    // Continue needs a page to continue with.
    bool canContinue() const;
    // The option the dialog selects: the stored one, Home when none is.
    StartPage offeredStartPage() const;
    // Only an explicit "False" skips the dialog.
    bool skipStartupDialog() const { return showStartupDialog == false; }

    // ---- Writers: false with a sentence in *error when nothing was stored ---
    static bool storeStartPage(StartPage page, QString *error);
    // The start-up dialog's answer: the page and, when the user asked not to
    // be asked again, that too, in one write.
    static bool storeStartupAnswer(StartPage page, bool askAgain, QString *error);
    static bool storeShowStartupDialog(bool show, QString *error);
    static bool storeConfirmExit(bool confirm, QString *error);
    static bool storePopUps(PopUps popUps, QString *error);
    static bool storeSuppressErrors(bool suppress, QString *error);
    // The last address a window showed, written to the file at `path` only
    // when it differs from what the file holds; safe on any thread.
    static bool storeLastUrlAt(const QString &path, const QString &url, QString *error = nullptr);
};

// The address the Home button opens: the per-user setting Settings/Home of
// the application "Kestrel", or the built-in start page.
QString homeButtonAddress();
