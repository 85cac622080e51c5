// Baseline for the renderer's whole run: a Qt program that starts like vexilo-render and writes
// the same bytes to the same number of files, doing nothing else.
//   vexilo-write-baseline PATH BYTES [PATH BYTES ...]
#include <QCoreApplication>
#include <QFile>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const QByteArray chunk(1 << 20, '\xff');
    for (qsizetype i = 1; i + 1 < args.size(); i += 2) {
        QFile file(args[i]);
        if (!file.open(QIODevice::WriteOnly))
            return 1;
        for (qint64 left = args[i + 1].toLongLong(); left > 0; left -= chunk.size())
            file.write(chunk.constData(), std::min<qint64>(left, chunk.size()));
    }
    return 0;
}
