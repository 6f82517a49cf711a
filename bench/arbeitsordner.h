// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Where the benchmarks put their files: the folder named by
// MARKWERK_BENCH_ORDNER, else "bench-daten" in the working directory. Reads
// and writes of one benchmark and of its copy reference go to the same
// folder, so that both meet the same file system.

#include <cstdlib>
#include <filesystem>
#include <string>

inline std::string arbeitsdatei(const std::string &name)
{
    const char *ordner = std::getenv("MARKWERK_BENCH_ORDNER");
    const std::filesystem::path pfad = ordner && *ordner ? ordner : "bench-daten";
    std::filesystem::create_directories(pfad);
    return (pfad / name).string();
}
