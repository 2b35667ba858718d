// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What both fuzz targets share.

#include "fakeconnection.h"

#include <QtGlobal>

#include <cstdio>
#include <cstdlib>

// Names the failed check: the stack trace alone is vague about inlined code.
inline void check(bool condition, const char* file = __builtin_FILE(), int line = __builtin_LINE())
{
    if (condition)
        return;
    std::fprintf(stderr, "%s:%d: check failed\n", file, line);
    std::abort();
}

// The traces stay in the product; formatting them still runs here.
inline void silent(QtMsgType, const QMessageLogContext&, const QString&) {}
