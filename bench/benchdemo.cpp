#include "benchdemo.h"

#include "db/cadodatabase.h"
#include "server/coreprocedures.h"
#include "server/databasecreator.h"
#include "server/demodata.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstring>

namespace orvane::bench {

QString databaseArgument(int argc, char** argv)
{
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--db") == 0)
            return QString::fromLocal8Bit(argv[i + 1]);
    }
    return {};
}

QString demoDatabase(const QString& given, const QTemporaryDir& dir, const QString& fileName,
                     int persons)
{
    server::registerCoreProcedures();
    if (!given.isEmpty())
        return given;
    const QString path = dir.filePath(fileName);
    QString error;
    if (!server::createDatabase(path, &error))
        qFatal("cannot create the database: %s", qPrintable(error));
    db::CADODatabase filler;
    filler.Open(path);
    if (!server::fillDemoData(filler, persons, {}, nullptr, &error))
        qFatal("cannot fill the demo data: %s", qPrintable(error));
    return path;
}

double peakMemoryMb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
}

int runBenchmarks(int& argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace orvane::bench
