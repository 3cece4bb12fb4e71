#pragma once

#include "base/Windows1252.h"
#include "rules/NameWalk.h"

#include <QByteArrayView>

// The name walk done one byte at a time, positions counted from 1, exactly as the scan is
// described: the oracle that the fast walk must always agree with.
inline quorrel::NameWalk walkOneByteAtATime(QByteArrayView bytes) {
    quorrel::NameWalk walk;
    const qsizetype n = bytes.size();
    auto at = [&](qsizetype i) { return uchar(bytes[i - 1]); };
    QByteArray buffer;
    for (qsizetype i = 66; i <= n; ++i) {
        if (i + 1 > n) {
            walk.complete = false;
            break;
        }
        if (at(i) == 0x40 && at(i + 1) == 0x04)
            break;
        if (i + 3 > n) {
            walk.complete = false;
            break;
        }
        if (at(i) == 0x00 && at(i + 1) == 0x10 && at(i + 3) == 0x07) {
            walk.names.append(quorrel::windows1252::decode(buffer));
            buffer.clear();
            i += 5;
        } else {
            buffer.append(char(at(i)));
        }
    }
    return walk;
}
