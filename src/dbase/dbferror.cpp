#include "dbase/dbferror.h"

#include <cstdio>
#include <cstdlib>

namespace gs {

namespace {
DbfFatalHandler& FatalHandler() {
    static DbfFatalHandler h;
    return h;
}
DbfMessageHandler& MessageHandler() {
    static DbfMessageHandler h;
    return h;
}
}  // namespace

std::string DbfErrorDescription(int code) {
    switch (code) {
    case 2: return "File not found";
    case 3: return "Path not found";
    case 4: return "Too many open files";
    case 5: return "File access denied";
    case 32: return "File sharing violation";
    case 33: return "File lock violation";
    case 100: return "Disk read error";
    case 101: return "Disk write error (probable cause: Disk Full).";
    case 210: return "Not a dBASE data file";
    case 211: return "Invalid database field type encountered";
    case 214: return "File already in use";
    case 217: return "Insufficient memory";
    case 220: return "Invalid parameter";
    case 221: return "Index file not open";
    case 222: return "Corrupted index file";
    case 225: return "Exclusive Use() required";
    case 266: return "Invalid size";
    case 1003: return "Invalid memo address";
    case 1004: return "Disk full";
    case 1005: return "Memo file write error";
    case 1012: return "Insufficient disk space to pack memo file";
    case 1017: return "Cannot lock memo file";
    case 1018: return "Cannot unlock memo file";
    case 1103: return "Invalid Operation ";
    case 1200: return "Record not locked";
    case 1201: return "File not locked";
    default: return "Undefined error";
    }
}

std::string DbfErrorReportText(int code, const std::string& detail) {
    return "Error # " + std::to_string(code) + " (" + DbfErrorDescription(code) + ")\n" + detail;
}

DbfError::DbfError(int code, std::string detail)
    : std::runtime_error(DbfErrorReportText(code, detail)),
      code_(code),
      description_(DbfErrorDescription(code)),
      detail_(std::move(detail)) {}

DbfFatalHandler SetDbfFatalHandler(DbfFatalHandler handler) {
    DbfFatalHandler old = std::move(FatalHandler());
    FatalHandler() = std::move(handler);
    return old;
}

DbfMessageHandler SetDbfMessageHandler(DbfMessageHandler handler) {
    DbfMessageHandler old = std::move(MessageHandler());
    MessageHandler() = std::move(handler);
    return old;
}

void RaiseDbfError(int code, const std::string& detail) {
    const std::string description = DbfErrorDescription(code);
    if (FatalHandler()) {
        FatalHandler()(code, description, detail);
    } else {
        std::fprintf(stderr, "%s\n%s\n", kProgramHaltedCaption,
                     DbfErrorReportText(code, detail).c_str());
        std::fflush(stderr);
        std::exit(code);
    }
    throw DbfError(code, detail);
}

void ShowDbfMessage(const std::string& text) {
    if (MessageHandler()) {
        MessageHandler()(text);
    } else {
        std::fprintf(stderr, "%s\n", text.c_str());
    }
}

}  // namespace gs
