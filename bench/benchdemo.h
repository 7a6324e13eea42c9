#pragma once

#include <QString>

class QTemporaryDir;

// What the benchmark programs on demo data share: the database they run on, their command line
// and the peak memory they report.
namespace orvane::bench {

// The value of "--db FILE" among the arguments; empty without one.
QString databaseArgument(int argc, char** argv);

// The database a benchmark runs on: `given` when set, otherwise a demo database of `persons`
// persons made as `fileName` in `dir`. The core procedures are registered either way; a
// database that cannot be made ends the program.
QString demoDatabase(const QString& given, const QTemporaryDir& dir, const QString& fileName,
                     int persons);

// The process's peak resident memory in MB.
double peakMemoryMb();

// Runs the registered benchmarks; the Qt application object must exist.
int runBenchmarks(int& argc, char** argv);

} // namespace orvane::bench
