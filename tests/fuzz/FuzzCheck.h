#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <cstdio>
#include <cstdlib>

// A broken invariant ends the run loudly, so the fuzzer keeps the input.
#define FUZZ_CHECK(cond, what)                                                        \
    do {                                                                              \
        if (!(cond)) {                                                                \
            std::fprintf(stderr, "invariant broken: %s (%s:%d)\n", qPrintable(what), \
                         __FILE__, __LINE__);                                         \
            std::abort();                                                             \
        }                                                                             \
    } while (0)

// Splits fuzz input into a file image and the fields that follow it.
inline QList<QByteArray> fuzzFields(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)).split('\x01');
}
