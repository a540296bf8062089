// One key release with completion over 10,000 addresses, against the bare
// prefix search over the same list.
#include "BenchSupport.h"

#include "window/AddressBoxLogic.h"

#include <QStringList>

int main(int argc, char **argv)
{
    const int runs = argc > 1 ? std::atoi(argv[1]) : 201;
    QStringList items;
    for (int i = 0; i < 10000; ++i)
        items << QStringLiteral("http://site%1.example.test/path/%2").arg(i).arg(i * 7);
    // The worst case: the text matches only the last item, so both searches
    // walk the whole list.
    const QString typed = QStringLiteral("http://site9999.ex");

    volatile int sink = 0;
    const double bare = medianMicros(runs, [&] { sink = sink + findPrefix(items, typed); });
    AddressBoxLogic box;
    box.setItems(items);
    const double key = medianMicros(runs, [&] { sink = sink + int(box.keyUp(AddressKey::Other).has_value()); },
                                    [&] { box.edited(typed); });
    std::printf("10000 addresses, median of %d runs\n", runs);
    report("bare prefix search", bare, bare);
    report("key release with completion", key, bare);
    return 0;
}
