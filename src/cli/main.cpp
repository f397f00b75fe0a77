#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream(stderr) << "usage: qxpan-cli COMMAND [ARGS]\n";
    return 2;
}
