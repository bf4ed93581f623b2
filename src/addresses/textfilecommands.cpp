#include "addresses/textfilecommands.h"

#include <exception>
#include <optional>

#include <QStringList>

#include "addresses/importtext.h"
#include "addresses/textexport.h"
#include "addresses/textimport.h"
#include "addresses/transferprogress.h"
#include "dbase/dbferror.h"
#include "dbase/fileio.h"
#include "dbase/tzdbf.h"
#include "dialogs/buttonchoicedialog.h"
#include "platform/application.h"
#include "platform/qtext.h"
#include "platform/userinteraction.h"

namespace gs {

namespace {

QString Title() { return ApplicationTitle(); }

QString PathText(const std::string& path) { return QString::fromStdString(path); }
std::string PathBytes(const QString& path) { return path.toStdString(); }

// Error texts name files by their (UTF-8) paths; field and value errors are
// in the program's code page.
QString ErrorText(const char* what) {
    return IsValidUtf8(what) ? QString::fromUtf8(what) : FromAnsi(what);
}

void Inform(QWidget* parent, const QString& text) {
    Ui().Message(parent, Title(), text, QMessageBox::Information, QMessageBox::Ok);
}

// "1 record was" / "12 records were".
QString Records(std::uint64_t n) {
    return n == 1 ? QStringLiteral("1 record was") : QStringLiteral("%1 records were").arg(n);
}

QString Lines(std::uint64_t n) { return n == 1 ? QStringLiteral("1 line") : QStringLiteral("%1 lines").arg(n); }

// "line 4" / "lines 3, 7 and 12" / "lines 1, 2, 3 and 40 more".
QString LineNumbers(const std::vector<std::uint64_t>& listed, std::uint64_t total) {
    QStringList numbers;
    for (std::uint64_t n : listed) numbers << QString::number(n);
    if (numbers.isEmpty()) return {};
    if (total > static_cast<std::uint64_t>(numbers.size()))
        return "lines " + numbers.join(", ") + QStringLiteral(" and %1 more").arg(total - numbers.size());
    if (numbers.size() == 1) return "line " + numbers.front();
    const QString last = numbers.takeLast();
    return "lines " + numbers.join(", ") + " and " + last;
}

// What the import did: the records added, and the lines that gave blank ones.
QString ImportDoneText(const ImportOutcome& outcome) {
    QString text = "Import Done.\n\n" + Records(outcome.records) + " added.";
    if (outcome.blankRecords > 0)
        text += "\n" + Lines(outcome.blankRecords) +
                (outcome.blankRecords == 1 ? " held no address and gave a blank record."
                                           : " held no address and gave blank records.");
    return text;
}

// Reopens the address table when the import leaves, whatever way it leaves.
class ReopenAtEnd {
public:
    explicit ReopenAtEnd(AddressTableHost* host) : host_(host) {}
    ~ReopenAtEnd() noexcept(false) {
        // While an error passes through, a second one from the reopen must not
        // end the program: the first is the one to report.
        if (std::uncaught_exceptions() == 0) Run();
    }
    void Run() {
        if (!host_) return;
        AddressTableHost* host = host_;
        host_ = nullptr;
        host->ReopenAddressTable();
    }

private:
    AddressTableHost* host_;
};

}  // namespace

void ImportAddressText(QWidget* parent, const std::string& addressDir, AddressTableHost* host) {
    const QString textName = Ui().OpenFileName(parent, QObject::tr("Import Name and Address Text File"),
                                               PathText(addressDir),
                                               "Import Files(*.txt;*.csv)|*.txt;*.csv|All Files|*.*");
    if (textName.isEmpty()) return;

    const bool modeActive = host && host->AddressModeActive();
    if (modeActive) host->CloseAddressTable();
    ReopenAtEnd reopen(modeActive ? host : nullptr);

    std::optional<QString> failure;
    try {
        const std::string textPath = PathBytes(textName);
        std::optional<ImportTextReader> reader;
        {
            WaitCursor wait;  // the reader looks through the whole file once
            reader.emplace(textPath);
        }
        const QString tableName = Ui().SaveFileName(
            parent, QObject::tr("Import into Address Table"),
            PathText(addressDir + "/" + ProposedImportTableName(textPath)), "DBF Files (*.dbf)|*.dbf",
            OverwritePrompt::DontAsk);  // an existing table gets the question below instead
        if (tableName.isEmpty()) return;
        const std::string tablePath = PathBytes(tableName);

        ImportTarget target = ImportTarget::NewTable;
        if (dbfio::FileExists(ImportTableFileName(tablePath))) {
            const int answer = AskButtonChoice(parent, Title(), kImportExistsQuestion,
                                               {kOverwriteCaption, kAppendCaption, kCancelCaption});
            if (answer == 3) return;
            target = answer == 1 ? ImportTarget::Overwrite : ImportTarget::Append;
        }

        ImportOutcome outcome;
        {
            WaitCursor wait;
            TransferProgressDialog progress(parent, QObject::tr("Importing names and addresses..."),
                                            reader->TotalLines());
            outcome = ImportTextIntoTable(*reader, tablePath, target, progress.Callback());
        }
        reader.reset();
        if (outcome.cancelled) {
            Inform(parent, "Import cancelled. " + Records(outcome.records) + " imported and kept.");
        } else {
            Inform(parent, ImportDoneText(outcome));
        }
        if (outcome.unmappableLines > 0)
            Ui().Message(parent, Title(),
                         QStringLiteral("%1 of the file (%2) could not be converted to characters that an address "
                                        "table can store; they were imported with \"?\" in their place.")
                             .arg(outcome.unmappableCharacters == 1
                                      ? QStringLiteral("1 character")
                                      : QStringLiteral("%1 characters").arg(outcome.unmappableCharacters),
                                  LineNumbers(outcome.unmappableLineNumbers, outcome.unmappableLines)),
                         QMessageBox::Warning, QMessageBox::Ok);
    } catch (const DbfError&) {
        reopen.Run();
        throw;
    } catch (const std::exception& e) {
        failure = ErrorText(e.what());
    }
    reopen.Run();
    if (failure) Ui().Message(parent, Title(), "Error on import: " + *failure, QMessageBox::Critical, QMessageBox::Ok);
}

void ExportAddressText(QWidget* parent, const std::string& addressDir) {
    const QString tableName = Ui().OpenFileName(parent, QObject::tr("Export Address Table"), PathText(addressDir),
                                                "dbf Files(*.dbf)|*.dbf|All Files|*.*");
    if (tableName.isEmpty()) return;

    std::optional<QString> failure;
    {
        TTzDbf table("TzDbfExport");  // closed when the block ends, whatever happens
        try {
            const std::string tablePath = PathBytes(tableName);
            OpenTableForExport(table, tablePath);
            const QString textName = Ui().SaveFileName(
                parent, QObject::tr("Export to Text File"),
                PathText(addressDir + "/" + ProposedExportTextName(tablePath)),
                "Text Files (*.txt)|*.txt|All Files|*.*");
            if (textName.isEmpty()) return;

            ExportOutcome outcome;
            {
                WaitCursor wait;
                TransferProgressDialog progress(parent, QObject::tr("Exporting names and addresses..."),
                                                table.RecCount());
                outcome = ExportTableToText(table, PathBytes(textName), progress.Callback());
            }
            table.Close();
            if (outcome.cancelled) {
                Inform(parent, "Export cancelled. " + Records(outcome.records) + " written and kept.");
            } else {
                Inform(parent, "Export Done.");
            }
        } catch (const DbfError&) {
            throw;
        } catch (const std::exception& e) {
            failure = ErrorText(e.what());
        }
    }
    if (failure) Ui().Message(parent, Title(), "Error on export: " + *failure, QMessageBox::Critical, QMessageBox::Ok);
}

}  // namespace gs
