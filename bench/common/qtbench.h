// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the benchmarks that run a Qt event loop share: their entry point in
// an offscreen application, and the process's own memory figures.

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <string>

// One "Vm..." field of /proc/self/status, in kB; 0 when missing.
inline long statusKb(const std::string& field)
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.compare(0, field.size() + 1, field + ':') == 0)
            return std::stol(line.substr(field.size() + 1));
    return 0;
}

// Runs the registered benchmarks inside an offscreen application: `setUp`
// first (it returns an error text, empty when all is well), `tearDown` last,
// while the application still exists. Returns the exit status.
inline int runQtBenchmarks(int argc, char** argv, const std::function<std::string()>& setUp,
                           const std::function<void()>& tearDown = {})
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    if (const std::string error = setUp(); !error.empty()) {
        std::fprintf(stderr, "%s: %s\n", argv[0], error.c_str());
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (tearDown)
        tearDown();
    return 0;
}
