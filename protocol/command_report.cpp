#include "protocol/command_report.h"

namespace keydeck {

CommandReport MakeVersionQueryReport() {
    CommandReport report;
    report.bytes[1] = kCommandVersionQuery;
    return report;
}

CommandReport MakeFactoryRestoreReport() {
    CommandReport report;
    report.bytes[1] = kCommandFactoryRestore;
    report.bytes[2] = 0xAA;
    return report;
}

}  // namespace keydeck
