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
    // Either a small store or one at the edge of full, with its sections missing.
    const int start = data[0] >= 0xFC ? FavoritesStore::kMaxFavorites - (data[0] & 3) : (data[0] & 7);
    QList<QPair<QString, QString>> model;
    QByteArray file = "[Favorites]\r\nNumber=" + QByteArray::number(start) + "\r\n";
    const bool small = start < 100;
    for (int i = 0; i < start; ++i) {
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
        const int index = f.size() > 1 ? int(uchar(f[1])) - 8 + (model.size() > 200 ? model.size() - 120 : 0) : 0;
        const QByteArray name = f.mid(2, 12), url = f.mid(14);
        FavoritesStore::Result r = FavoritesStore::Result::Done;
        if (op == 0) {
            r = FavoritesStore::add(doc, QString::fromUtf8(name), QString::fromUtf8(url));
            const bool full = model.size() >= FavoritesStore::kMaxFavorites;
            FUZZ_CHECK((r == FavoritesStore::Result::Full) == full, QStringLiteral("add at %1").arg(model.size()));
            if (!full)
                model.append({expect(name), expect(url)});
        } else if (op == 1) {
            r = FavoritesStore::update(doc, index, QString::fromUtf8(name), QString::fromUtf8(url));
            const bool inside = index >= 0 && index < model.size();
            FUZZ_CHECK((r == FavoritesStore::Result::Done) == inside, QStringLiteral("update %1").arg(index));
            if (inside)
                model[index] = {expect(name), expect(url)};
        } else if (op == 2) {
            r = FavoritesStore::remove(doc, index);
            const bool inside = index >= 0 && index < model.size();
            FUZZ_CHECK((r == FavoritesStore::Result::Done) == inside, QStringLiteral("delete %1").arg(index));
            if (inside)
                model.removeAt(index);
        } else {
            doc = IniDocument::fromBytes(doc.toBytes());
        }
        const int n = FavoritesStore::count(doc);
        FUZZ_CHECK(n >= 0 && n <= FavoritesStore::kMaxFavorites && n == model.size(),
                   QStringLiteral("count %1, expected %2").arg(n).arg(model.size()));
        // Near-full stores are checked at their tail, where the changes are.
        for (int i = qMax(0, n - 130); i < n; ++i) {
            FUZZ_CHECK(FavoritesStore::name(doc, i) == model[i].first && FavoritesStore::url(doc, i) == model[i].second,
                       QStringLiteral("favorite %1 is '%2' '%3', expected '%4' '%5'")
                           .arg(i).arg(FavoritesStore::name(doc, i), FavoritesStore::url(doc, i), model[i].first,
                                model[i].second));
        }
    }
    return 0;
}
