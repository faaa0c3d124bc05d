#include "fuzz/support/fuzzapplication.h"

#include <QApplication>
#include <QCoreApplication>

namespace fuzzapplication {

namespace {

void DropMessage(QtMsgType, const QMessageLogContext&, const QString&) {}

} // namespace

void Start(Kind kind)
{
    if (QCoreApplication::instance())
        return;
    qInstallMessageHandler(DropMessage);
    // The application outlives every input and is never destroyed: libFuzzer ends the process.
    static int argc = 1;
    static char name[] = "zent_fuzz";
    static char* argv[] = {name, nullptr};
    if (kind == Kind::Widgets) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        new QApplication(argc, argv);
    } else {
        new QCoreApplication(argc, argv);
    }
}

} // namespace fuzzapplication

// The font set that the widget application's platform loads once stays allocated until the
// process ends; LeakSanitizer's report at the exit would otherwise fail every run. The list of
// suppressions it used is not printed after each of libFuzzer's leak checks.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

extern "C" const char* __lsan_default_options()
{
    return "print_suppressions=0";
}
