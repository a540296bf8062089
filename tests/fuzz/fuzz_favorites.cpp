// Random sequences of add, update and delete on the favorites store, checked
// against a plain list after every step.
#include "FuzzCheck.h"
#include "favorites/FavoritesStore.h"

#include <QPair>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const QList<QByteArray> fields = fuzzFields(data + 1, size - 1);
    // Either a small store or one at the edge of full, its sections empty.
    const int start = data[0] >= 0xFC ? FavoritesStore::kMaxFavorites - (data[0] & 3) : (data[0] & 7);
    // The expected favorites: `blank` untouched empty ones, then `model`.
    QList<QPair<QString, QString>> model;
    QByteArray file = "[Favorites]\r\nNumber=" + QByteArray::number(start) + "\r\n";
    const bool small = start < 100;
    const int blank = small ? 0 : start - 200;
    if (!small) {
        // Empty sections, made once: a count only counts sections that exist.
        static QByteArray headers[4];
        QByteArray &h = headers[data[0] & 3];
        for (int i = int(h.count('[')); i < start; ++i)
            h += "[" + QByteArray::number(i) + "]\r\n";
        file += h;
    }
    for (int i = blank; i < start; ++i) {
        if (small)
            file += "[" + QByteArray::number(i) + "]\r\nName=n" + QByteArray::number(i) + "\r\nURL=u\r\n";
        model.append(small ? qMakePair(QStringLiteral("n%1").arg(i), QStringLiteral("u")) : qMakePair(QString(), QString()));
    }
    IniDocument doc = IniDocument::fromBytes(file);
    auto expect = [](const QByteArray &b) { return IniDocument::unquoted(IniDocument::sanitized(QString::fromUtf8(b))); };

    int steps = 0;
    for (const QByteArray &f : fields) {
        if (f.isEmpty())
            continue;
        // A full store is about its edge; a few steps there say all.
        if (!small && ++steps > 8)
            break;
        const int op = uchar(f[0]) % 4;
        const int size = blank + int(model.size());
        const int index = (f.size() > 1 ? int(uchar(f[1])) - 8 : 0) + (small ? 0 : size - 120);
        const bool inside = index >= blank && index < size; // near-full steps stay in the tail
        const int at = index - blank;
        const QByteArray name = f.mid(2, 12), url = f.mid(14);
        FavoritesStore::Result r = FavoritesStore::Result::Done;
        if (op == 0) {
            r = FavoritesStore::add(doc, QString::fromUtf8(name), QString::fromUtf8(url));
            const bool full = size >= FavoritesStore::kMaxFavorites;
            FUZZ_CHECK((r == FavoritesStore::Result::Full) == full, QStringLiteral("add at %1").arg(size));
            if (!full)
                model.append({expect(name), expect(url)});
        } else if (op == 1) {
            r = FavoritesStore::update(doc, index, QString::fromUtf8(name), QString::fromUtf8(url));
            FUZZ_CHECK((r == FavoritesStore::Result::Done) == (inside || (index >= 0 && index < size)),
                       QStringLiteral("update %1").arg(index));
            if (inside)
                model[at] = {expect(name), expect(url)};
        } else if (op == 2) {
            r = FavoritesStore::remove(doc, index);
            FUZZ_CHECK((r == FavoritesStore::Result::Done) == (inside || (index >= 0 && index < size)),
                       QStringLiteral("delete %1").arg(index));
            if (inside)
                model.removeAt(at);
        } else {
            doc = IniDocument::fromBytes(doc.toBytes());
        }
        const int n = FavoritesStore::count(doc);
        FUZZ_CHECK(n >= 0 && n <= FavoritesStore::kMaxFavorites && n == blank + model.size(),
                   QStringLiteral("count %1, expected %2").arg(n).arg(blank + model.size()));
        // Near-full stores are checked at their tail, where the changes are.
        for (int i = qMax(blank, n - 130); i < n; ++i) {
            const auto &want = model[i - blank];
            if (FavoritesStore::name(doc, i) != want.first || FavoritesStore::url(doc, i) != want.second)
                FUZZ_CHECK(false, QStringLiteral("favorite %1 is '%2' '%3', expected '%4' '%5'")
                                      .arg(i).arg(FavoritesStore::name(doc, i), FavoritesStore::url(doc, i),
                                                  want.first, want.second));
        }
    }
    return 0;
}
