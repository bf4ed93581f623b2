#include "app/batchcommand.h"

#include "addresses/importtext.h"
#include "app/cupstarget.h"
#include "app/entry.h"
#include "dbase/dbferror.h"
#include "maillog/maillog.h"
#include "numbering/articlenumber.h"
#include "piece/piecestart.h"
#include "piece/printedpiece.h"
#include "platform/datafolders.h"
#include "platform/paths.h"
#include "platform/qtext.h"
#include "platform/textutil.h"
#include "printing/paper.h"
#include "settings/addresstext.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <filesystem>
#include <memory>
#include <ostream>

namespace gs {

namespace {

std::string Utf8(std::string_view ansi) { return FromAnsi(ansi).toStdString(); }
std::string FromArgument(const std::string& arg) { return ToAnsi(QString::fromLocal8Bit(arg.c_str())); }

bool IsFee(const std::string& text) { return ParseFee(text).has_value(); }

// The sender block and the fees as the window shows them after start,
// with the options applied.
PrintedPiece PieceTemplate(const Settings& stored, const BatchOptions& o) {
    Settings s = stored;
    if (o.postage) s.Postage = *o.postage;
    if (o.certified) s.CertFee = *o.certified;
    if (o.returnReceipt) s.Return = *o.returnReceipt;
    if (o.restrictedFee) s.Restricted = *o.restrictedFee;
    PrintedPiece p;
    p.senderLines = SenderLabels(s);
    FeeFieldTexts fees;
    auto shown = [&](const std::string& value) { return NormalizeFeeText(value, fees).fieldText; };
    fees.postage = shown(s.Postage);
    fees.certFee = shown(s.CertFee);
    fees.returnReceipt = shown(s.Return);
    fees.restricted = o.restricted ? shown(s.Restricted) : std::string();
    p.postage = fees.postage;
    p.certifiedFee = fees.certFee;
    p.returnReceiptFee = fees.returnReceipt;
    p.restrictedFee = fees.restricted;
    p.total = FeeTotalText(fees);
    p.restricted = o.restricted;
    p.re = o.re.substr(0, 25);
    p.comment = o.comment.substr(0, 35);
    return p;
}

bool Digits(std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Five digits, or ZIP+4 with or without its hyphen; "" when it is neither.
std::string CleanZip(const std::string& field) {
    const std::string zip = NormalizeZip(field);
    if (zip.size() == 5 && Digits(zip)) return zip;
    if (zip.size() == 10 && zip[5] == '-' && Digits(zip.substr(0, 5)) && Digits(zip.substr(6))) return zip;
    if (zip.size() == 9 && Digits(zip)) return zip.substr(0, 5) + "-" + zip.substr(5);
    return {};
}

// The recipient of one line, or the reason it gives none.
bool RecipientOf(const std::string& line, PrintedPiece& piece, std::string* reason) {
    const ImportFields f = SplitImportLine(line);
    if (std::all_of(f.begin(), f.end(), [](const std::string& v) { return v.empty(); })) {
        *reason = "fewer than seven fields";
        return false;
    }
    // Blank name fields are closed up, as the import does for the address memo.
    std::array<std::string, 4> lines;
    int n = 0;
    for (int i = 0; i < 4; ++i)
        if (!Trim(f[i]).empty()) lines[n++] = f[i];
    if (n == 0) {
        *reason = "no name or address line";
        return false;
    }
    const std::string zip = CleanZip(f[6]);
    if (zip.empty()) {
        *reason = "the ZIP code \"" + Utf8(f[6]) + "\" is not five digits or ZIP+4";
        return false;
    }
    piece.recipientLines = lines;
    piece.city = f[4];
    piece.state = f[5];
    piece.zip = zip;
    return true;
}

std::string RecipientText(const PrintedPiece& p) {
    std::string text = Trim(p.recipientLines[0]) + ", " + Trim(p.city) + " " + Trim(p.state) + " " + p.zip;
    return Utf8(text);
}

// The log's folder when it is no longer there (a share that went away
// during the run); "" while it can be written in.
std::string LogFolderGone(const std::string& logPath) {
    const std::string folder = logPath.substr(0, logPath.find_last_of('/') + 1);
    std::error_code ec;
    if (folder.empty() || std::filesystem::is_directory(folder, ec)) return {};
    return folder;
}

std::string LineList(const std::vector<std::uint64_t>& lines) {
    std::string out;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i == 8 && lines.size() > 9) return out + ", and " + std::to_string(lines.size() - i) + " more";
        out += (i ? ", " : "") + std::to_string(lines[i]);
    }
    return out;
}

// Table-store errors end the process by default; here they only lose the
// piece's log record, which is reported.
class TableStoreReports {
public:
    explicit TableStoreReports(std::ostream& err) {
        previousFatal_ = SetDbfFatalHandler([](int, const std::string&, const std::string&) {});
        previousMessage_ = SetDbfMessageHandler([&err](const std::string& text) { err << Utf8(text) << "\n"; });
    }
    ~TableStoreReports() {
        SetDbfFatalHandler(std::move(previousFatal_));
        SetDbfMessageHandler(std::move(previousMessage_));
    }

private:
    DbfFatalHandler previousFatal_;
    DbfMessageHandler previousMessage_;
};

}  // namespace

std::string BatchUsage() {
    return "Usage: greenslip-batch print FILE [options]\n"
           "Prints and logs one certified mailer for every recipient in FILE, a name-and-address\n"
           "text file (seven comma-separated fields per line: four name lines, city, state, ZIP).\n"
           "\n"
           "Output (one of):\n"
           "  --printer NAME         print on the CUPS queue NAME (default: the default queue;\n"
           "                         with none, one PDF per piece in Printed/ among your files)\n"
           "  --pdf DIR              write one PDF per piece into DIR, named by its article number\n"
           "  --dry-run              show the numbers and recipients it would use; change nothing\n"
           "  --format 20|impb       the 20-digit article number or the 22-digit IMpb, for this run\n"
           "Fees (default: the program's saved values):\n"
           "  --postage AMOUNT       --certified AMOUNT       --return-receipt AMOUNT\n"
           "  --restricted[=AMOUNT]  restricted delivery, with the saved or the given fee\n"
           "Text on every piece:\n"
           "  --re TEXT              the RE line (25 characters)\n"
           "  --comment TEXT         the comment (35 characters)\n"
           "\n"
           "  --help                 show this text\n"
           "  --version              show the program's version\n"
           "\n"
           "Exit status: 0 all printed and logged, 1 some lines not printed, 2 bad usage,\n"
           "unreadable input, or a piece the mail log could not take (printing stops there).\n";
}

std::optional<BatchOptions> ParseBatchArguments(const std::vector<std::string>& args, std::string* error) {
    BatchOptions o;
    std::vector<std::string> words;
    auto fail = [&](const std::string& why) -> std::optional<BatchOptions> {
        if (error) *error = why;
        return std::nullopt;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.rfind("--", 0) != 0 || a == "--") {
            words.push_back(a);
            continue;
        }
        const auto eq = a.find('=');
        const std::string name = a.substr(0, eq);
        std::optional<std::string> inlineValue;
        if (eq != std::string::npos) inlineValue = a.substr(eq + 1);
        auto value = [&]() -> std::optional<std::string> {
            if (inlineValue) return inlineValue;
            if (i + 1 < args.size()) return args[++i];
            return std::nullopt;
        };
        auto flag = [&](bool& target) {
            if (inlineValue) return false;
            target = true;
            return true;
        };
        if (name == "--help") {
            if (!flag(o.help)) return fail("--help takes no value");
        } else if (name == "--version") {
            if (!flag(o.version)) return fail("--version takes no value");
        } else if (name == "--dry-run") {
            if (!flag(o.dryRun)) return fail("--dry-run takes no value");
        } else if (name == "--restricted") {
            o.restricted = true;
            if (inlineValue) {
                if (!IsFee(*inlineValue)) return fail("--restricted: \"" + *inlineValue + "\" is not an amount");
                o.restrictedFee = inlineValue;
            }
        } else if (name == "--format") {
            const auto v = value();
            if (!v) return fail("--format needs a value");
            if (*v != "20" && *v != "impb") return fail("--format: \"" + *v + "\" is neither 20 nor impb");
            o.format = *v;
        } else if (name == "--printer" || name == "--pdf" || name == "--re" || name == "--comment" ||
                   name == "--postage" || name == "--certified" || name == "--return-receipt") {
            const auto v = value();
            if (!v) return fail(name + " needs a value");
            if (name == "--printer") o.printer = *v;
            else if (name == "--pdf") o.pdfDir = *v;
            else if (name == "--re") o.re = FromArgument(*v);
            else if (name == "--comment") o.comment = FromArgument(*v);
            else {
                if (!IsFee(*v)) return fail(name + ": \"" + *v + "\" is not an amount");
                (name == "--postage" ? o.postage : name == "--certified" ? o.certified : o.returnReceipt) = *v;
            }
        } else {
            return fail("unknown option " + name);
        }
    }
    if (o.help || o.version) return o;
    if (words.empty()) return fail("no command given");
    if (words[0] != "print") return fail("unknown command \"" + words[0] + "\"");
    if (words.size() < 2) return fail("print needs a FILE");
    if (words.size() > 2) return fail("unexpected argument \"" + words[2] + "\"");
    o.file = words[1];
    if (!o.printer.empty() && !o.pdfDir.empty()) return fail("--printer and --pdf cannot be used together");
    if (!o.printer.empty() && o.printer.find_first_of("/ \t") != std::string::npos)
        return fail("--printer: \"" + o.printer + "\" is not a CUPS queue name");
    return o;
}

int RunBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool showProgress,
             PrintTarget* testTarget) {
    std::string error;
    const auto options = ParseBatchArguments(args, &error);
    if (!options) {
        err << "greenslip-batch: " << error << "\n" << "Try \"greenslip-batch --help\".\n";
        return 2;
    }
    const BatchOptions& o = *options;
    if (o.help) {
        out << BatchUsage();
        return 0;
    }
    if (o.version) {
        out << "greenslip-batch " << GREENSLIP_VERSION << "\n";
        return 0;
    }
    auto refuse = [&](const std::string& why) {
        err << "greenslip-batch: " << why << "\n";
        return 2;
    };

    std::unique_ptr<ImportTextReader> reader;
    try {
        reader = std::make_unique<ImportTextReader>(o.file);
    } catch (const ImportFileError& e) {
        return refuse(e.what());
    }

    // The same settings, numbers and log as the window.
    const DataFolders folders = ProgramDataFolders();
    Settings settings;
    SharedNumbers numbers(SettingsFilePath());
    numbers.Load(settings, folders.writeDir, [] { return false; });
    if (settings.Line1.empty() && settings.City.empty() && settings.State.empty() && settings.Zip.empty())
        return refuse("no sender address is stored in \"" + numbers.SettingsPath() +
                      "\"; enter it once in Greenslip (Options > Your Name & Address).");
    if (!o.format.empty()) settings.ArticleFormat = o.format == "impb" ? "IMpb" : "20";
    // Refused here rather than at the first piece, which would use up a number.
    using namespace piece_check;
    switch (const PieceStartAnswer answer = MayPieceStart(settings, {}, CustomerId | ZipBarcode | Impb);
            answer.refusal) {
    case PieceRefusal::CustomerIdMissing:
        return refuse("barcode printing is on and the customer ID is \"00-000-0000\"; "
                      "enter it once in Greenslip (Options > Mailer Number).");
    case PieceRefusal::ZipBarcodeFields:
        return refuse("the Intelligent Mail barcode is chosen but cannot be printed (" + answer.detail +
                      "); correct it once in Greenslip (Options > Mailer Number).");
    case PieceRefusal::ImpbFields:
        return refuse("the IMpb number is chosen but cannot be printed (" + answer.detail +
                      "); correct it once in Greenslip (Options > Mailer Number).");
    default: break;
    }
    try {
        Settings probe = settings;
        StepArticleNumber(probe);
    } catch (const ArticleNumberError& e) {
        return refuse(std::string("the stored article number cannot be stepped: ") + e.what());
    }

    if (const PieceStartAnswer answer = MayPieceStart(settings, {}, LogFolder); !answer.MayStart())
        return refuse("the mail log folder \"" + answer.detail + "\" cannot be reached; is the share mounted?");

    std::unique_ptr<PrintTarget> ownTarget;
    PrintTarget* target = testTarget;
    if (!target && !o.dryRun) {
        if (!o.pdfDir.empty()) {
            const QString dir = QString::fromLocal8Bit(o.pdfDir.c_str());
            if (!QDir().mkpath(dir)) return refuse("the folder \"" + o.pdfDir + "\" cannot be created");
            ownTarget = std::make_unique<PdfFileTarget>(
                [dir, &settings](const QString&) {
                    const QString base = dir + "/" + QString::fromStdString(PlainNumberOf(settings));
                    QString name = base + ".pdf";
                    for (int n = 2; QFileInfo::exists(name); ++n) name = base + "-" + QString::number(n) + ".pdf";
                    return name;
                },
                ProgramPageLayout(settings.PaperSize));
        } else if (o.printer.empty() && CupsPrintTarget::DefaultQueue().empty()) {
            // As the window does with no printer: every page a PDF file in
            // "Printed/" among the program's own files.
            const QString folder = QString::fromStdString(folders.writeDir) + "Printed";
            if (!QDir().mkpath(folder))
                return refuse("there is no default printer, and the folder \"" + folder.toStdString() +
                              "\" for printed pages cannot be created");
            err << "greenslip-batch: there is no default printer; every piece is saved as a PDF file in \""
                << folder.toStdString() << "\" (--printer NAME prints on a queue).\n";
            ownTarget = std::make_unique<PdfFileTarget>([folder](const QString&) { return TimeStampedPdfName(folder); },
                                                        ProgramPageLayout(settings.PaperSize));
        } else {
            const std::string queue = o.printer.empty() ? CupsPrintTarget::DefaultQueue() : o.printer;
            std::string why;
            if (!CupsPrintTarget::QueueExists(queue, &why)) return refuse("no printer \"" + queue + "\": " + why);
            ownTarget = std::make_unique<CupsPrintTarget>(queue, settings.PaperSize);
        }
        target = ownTarget.get();
    }

    TableStoreReports reports(err);
    const PrintedPiece pieceTemplate = PieceTemplate(settings, o);
    PieceJob job;
    job.target = target;
    if (!o.dryRun) job.mailLogPath = MailLogPath(settings, folders);  // creates the default folder
    Settings dry = settings;  // a dry run steps a copy and writes nothing

    // The number of the piece that has just gone to the printer, so that a
    // piece whose log record then fails can be named.
    std::string printedNumber;
    job.printed = [&printedNumber](const PieceOutcome& piece) { printedNumber = piece.number; };

    std::uint64_t printed = 0, lineNo = 0;
    bool stopped = false;  // the printer failed or a piece went unlogged: the rest is not printed
    bool unlogged = false;  // a printed piece is missing from the log
    std::vector<std::uint64_t> notPrinted, notLogged;
    std::string line;
    while (true) {
        try {
            if (!reader->ReadLine(line)) break;
        } catch (const ImportFileError& e) {
            err << "greenslip-batch: " << e.what() << "\n";
            notPrinted.push_back(lineNo + 1);
            break;
        }
        ++lineNo;
        if (showProgress)
            err << "\rline " << lineNo << " of " << reader->TotalLines() << std::flush;
        if (Trim(line).empty()) continue;
        if (stopped) {
            notPrinted.push_back(lineNo);
            continue;
        }
        PrintedPiece piece = pieceTemplate;
        std::string reason;
        if (!RecipientOf(line, piece, &reason) ||
            !(reason = MayPieceStart(settings, piece.zip, RecipientZip).detail).empty()) {
            if (showProgress) err << "\r";
            err << "line " << lineNo << ": " << reason << "; skipped\n";
            notPrinted.push_back(lineNo);
            continue;
        }
        if (o.dryRun) {
            StepArticleNumber(dry);
            out << FormatArticleNumber(PlainNumberOf(dry)) << "\t" << RecipientText(piece) << "\tdry run\n";
            continue;
        }
        // A log folder that went away (a share unmounted mid-run) is found
        // before the piece prints, not after.
        if (const std::string gone = LogFolderGone(job.mailLogPath); !gone.empty()) {
            if (showProgress) err << "\r";
            err << "printing stopped at line " << lineNo << ": the mail log folder \"" << gone
                << "\" cannot be reached; is the share mounted?\n";
            notPrinted.push_back(lineNo);
            stopped = unlogged = true;
            continue;
        }
        std::string result;
        PieceOutcome outcome;
        printedNumber.clear();
        try {
            const NumberReservation reservation = TakeNextNumber(settings, numbers);
            outcome = PrintAndLogPiece(piece, settings, numbers, reservation, job);
            if (outcome.result == PieceResult::Logged) result = "printed";
            else if (outcome.result == PieceResult::LogLockBusy)
                result = "printed, not logged: another copy kept the mail log locked";
            else result = "not printed: " + outcome.error;
            if (!outcome.numbersSaved) err << "line " << lineNo << ": numbers not saved: " << outcome.saveError << "\n";
        } catch (const std::exception& e) {
            if (!printedNumber.empty()) {
                // The page went to the printer; its log record did not get written.
                result = std::string("printed, not logged: ") + e.what();
                outcome.result = PieceResult::LogLockBusy;
                outcome.number = printedNumber;
            } else {
                result = std::string("not printed: ") + e.what();
                outcome.result = PieceResult::PrintFailed;
            }
        }
        if (outcome.number.empty()) outcome.number = std::string(24, '-');
        if (showProgress) err << "\r";
        // One line per piece: a table-store error's second line joins the first.
        std::replace(result.begin(), result.end(), '\n', ' ');
        out << outcome.number << "\t" << RecipientText(piece) << "\t" << Utf8(result) << "\n" << std::flush;
        if (outcome.result == PieceResult::PrintFailed) {
            notPrinted.push_back(lineNo);
            // A printer that refused one job refuses the next: stop rather
            // than use up a number for every line that is left.
            if (!outcome.error.empty()) {
                stopped = true;
                err << "printing stopped at line " << lineNo << ": " << Utf8(outcome.error) << "\n";
            }
        } else {
            ++printed;
            if (outcome.result != PieceResult::Logged) {
                // The office must enter this piece by hand; no further piece
                // is printed that the log might miss too.
                notLogged.push_back(lineNo);
                stopped = unlogged = true;
                err << "printing stopped at line " << lineNo << ": the piece " << outcome.number << " to "
                    << RecipientText(piece) << " was printed but is not in the mail log; enter it by hand.\n";
            }
        }
    }
    if (showProgress) err << "\r\033[K";

    if (reader->UnmappableLines() > 0) {
        const std::uint64_t chars = reader->UnmappableCharacters();
        std::vector<std::uint64_t> lines = reader->UnmappableLineNumbers();
        if (lines.size() > 8) lines.resize(8);
        err << chars << (chars == 1 ? " character" : " characters") << " on "
            << (reader->UnmappableLines() == 1 ? "line " : "lines ") << LineList(lines);
        if (reader->UnmappableLines() > lines.size()) err << ", and " << reader->UnmappableLines() - lines.size() << " more";
        err << " could not be converted to the program's code page; they were printed as \"?\".\n";
    }
    if (o.dryRun) {
        err << "dry run: nothing printed, logged or saved.\n";
    } else {
        err << printed << (printed == 1 ? " piece" : " pieces") << " printed";
        if (!notLogged.empty()) err << ", " << notLogged.size() << " of them not logged (lines " << LineList(notLogged) << ")";
        err << ".\n";
    }
    if (!notPrinted.empty())
        err << notPrinted.size() << (notPrinted.size() == 1 ? " line" : " lines") << " not printed: "
            << LineList(notPrinted) << ".\n";
    if (unlogged) return 2;
    return notPrinted.empty() && notLogged.empty() ? 0 : 1;
}

}  // namespace gs
