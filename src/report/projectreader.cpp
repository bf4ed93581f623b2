#include "report/projectreader.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cmath>
#include <optional>

namespace gs {

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

const ReportDefinition* ReportProjectFile::FindReport(const std::string& name) const {
    for (const auto& r : reports)
        if (SameName(r.name, name)) return &r;
    return nullptr;
}

const ReportFont* ReportProjectFile::FindFont(const std::string& name) const {
    for (const auto& f : fonts)
        if (SameName(f.name, name)) return &f;
    return nullptr;
}

namespace {

// One word of a statement: a bare or quoted text, or key=value.
struct Token {
    QString key;    // empty for a plain word
    QString value;  // the word, or the setting's value, quotes removed
};

class Reader {
public:
    Reader(const QString& text, std::string fileName) : text_(text), file_(std::move(fileName)) {}

    ReportProjectFile Read() {
        ReportProjectFile project;
        project.fileName = file_;
        const QStringList lines = text_.split('\n');
        for (int i = 0; i < lines.size(); ++i) {
            line_ = i + 1;
            QString l = lines[i];
            if (l.endsWith('\r')) l.chop(1);
            const QString trimmed = l.trimmed();
            if (trimmed.isEmpty() || trimmed.startsWith('#')) continue;
            tokens_ = Tokenize(trimmed);
            used_.assign(tokens_.size(), false);
            Statement(project);
            for (std::size_t t = 1; t < tokens_.size(); ++t)
                if (!used_[t])
                    Fail(tokens_[t].key.isEmpty() ? "unexpected \"" + tokens_[t].value + "\""
                                                  : "unknown setting \"" + tokens_[t].key + "\"");
        }
        if (report_) {
            line_ = report_->line;
            Fail("the report \"" + QString::fromStdString(report_->name) + "\" has no \"end\"");
        }
        return project;
    }

private:
    [[noreturn]] void Fail(const QString& what) const {
        throw ReportError("Error in the report project file \"" + file_ + "\", line " + std::to_string(line_) +
                          ": " + what.toStdString() + ".");
    }

    std::vector<Token> Tokenize(const QString& l) const {
        std::vector<Token> out;
        int i = 0;
        const int n = static_cast<int>(l.size());
        while (i < n) {
            while (i < n && l[i].isSpace()) ++i;
            if (i >= n) break;
            Token t;
            QString word;
            bool quoted = false, inQuote = false, sawKey = false;
            for (; i < n && (inQuote || !l[i].isSpace()); ++i) {
                const QChar c = l[i];
                if (inQuote) {
                    if (c == '\\' && i + 1 < n && (l[i + 1] == '"' || l[i + 1] == '\\')) word += l[++i];
                    else if (c == '"') inQuote = false;
                    else word += c;
                } else if (c == '"') {
                    inQuote = quoted = true;
                } else if (c == '=' && !sawKey && !quoted) {
                    sawKey = true;
                    t.key = word;
                    word.clear();
                } else {
                    word += c;
                }
            }
            if (inQuote) Fail("a quoted text is not closed");
            if (sawKey && t.key.isEmpty()) Fail("a setting has no name");
            t.value = word;
            out.push_back(t);
        }
        return out;
    }

    // The plain word at this position (after the keyword), or "".
    QString Word(std::size_t at) {
        std::size_t seen = 0;
        for (std::size_t t = 1; t < tokens_.size(); ++t) {
            if (!tokens_[t].key.isEmpty()) continue;
            if (seen++ == at) {
                used_[t] = true;
                return tokens_[t].value;
            }
        }
        return {};
    }
    std::optional<QString> Setting(const char* key) {
        for (std::size_t t = 1; t < tokens_.size(); ++t)
            if (tokens_[t].key.compare(QLatin1String(key), Qt::CaseInsensitive) == 0) {
                used_[t] = true;
                return tokens_[t].value;
            }
        return std::nullopt;
    }
    bool Flag(const char* word) {
        for (std::size_t t = 1; t < tokens_.size(); ++t)
            if (tokens_[t].key.isEmpty() && tokens_[t].value.compare(QLatin1String(word), Qt::CaseInsensitive) == 0) {
                used_[t] = true;
                return true;
            }
        return false;
    }
    double Number(const QString& text, const char* what) const {
        bool ok = false;
        const double v = text.toDouble(&ok);
        if (!ok || !std::isfinite(v) || v < 0 || v > 1000)
            Fail(QString("%1 \"%2\" is not a size in inches").arg(what, text));
        return v;
    }
    double Inches(const char* key, std::optional<double> fallback) {
        const auto v = Setting(key);
        if (!v) {
            if (!fallback) Fail(QString("the setting \"%1\" is missing").arg(key));
            return *fallback;
        }
        return Number(*v, key);
    }
    std::string Name(const char* what) {
        const QString name = Word(0);
        if (name.isEmpty()) Fail(QString("the %1 has no name").arg(what));
        return name.toStdString();
    }

    void Statement(ReportProjectFile& project) {
        const QString keyword = tokens_[0].value.toLower();
        if (!tokens_[0].key.isEmpty()) Fail("a statement begins with a keyword, not \"" + tokens_[0].key + "=\"");
        if (keyword == "font") return FontStatement(project);
        if (keyword == "report") return ReportStatement(project);
        if (keyword == "end") {
            if (!report_) Fail("\"end\" without a report");
            if (!report_->Band(BandKind::Detail).present)
                Fail("the report \"" + QString::fromStdString(report_->name) + "\" has no Detail band");
            project.reports.push_back(std::move(*report_));
            report_.reset();
            band_ = nullptr;
            return;
        }
        if (keyword == "band") return BandStatement();
        if (keyword == "text" || keyword == "rule" || keyword == "box") return ItemStatement(project, keyword);
        Fail("unknown statement \"" + tokens_[0].value + "\"");
    }

    void FontStatement(ReportProjectFile& project) {
        ReportFont f;
        f.name = Name("font");
        if (project.FindFont(f.name)) Fail("the font \"" + QString::fromStdString(f.name) + "\" is declared twice");
        const auto face = Setting("face");
        if (!face || face->isEmpty()) Fail("the font has no face");
        f.face = *face;
        const auto size = Setting("size");
        bool ok = false;
        f.size = size ? size->toDouble(&ok) : 0;
        if (!ok || !(f.size >= 1 && f.size <= 200)) Fail("the font size must be a number of points from 1 to 200");
        f.bold = Flag("bold");
        project.fonts.push_back(f);
    }

    void ReportStatement(const ReportProjectFile& project) {
        if (report_) Fail("a report begins before the report \"" + QString::fromStdString(report_->name) + "\" ends");
        ReportDefinition r;
        r.line = line_;
        r.name = Name("report");
        if (project.FindReport(r.name)) Fail("the report \"" + QString::fromStdString(r.name) + "\" is declared twice");
        const auto connection = Setting("connection");
        if (!connection || connection->isEmpty()) Fail("the report names no data connection");
        r.connection = connection->toStdString();
        if (const auto o = Setting("orientation")) {
            if (o->compare("landscape", Qt::CaseInsensitive) == 0) r.landscape = true;
            else if (o->compare("portrait", Qt::CaseInsensitive) != 0)
                Fail("the orientation must be portrait or landscape");
        }
        if (const auto m = Setting("margins")) {
            const QStringList parts = m->split(',');
            if (parts.size() != 1 && parts.size() != 4) Fail("margins are one size or four, left,top,right,bottom");
            double v[4];
            for (int i = 0; i < 4; ++i) v[i] = Number(parts[parts.size() == 1 ? 0 : i].trimmed(), "the margin");
            r.marginLeft = v[0];
            r.marginTop = v[1];
            r.marginRight = v[2];
            r.marginBottom = v[3];
        }
        report_ = std::move(r);
    }

    void BandStatement() {
        if (!report_) Fail("a band outside a report");
        static const char* const names[kBandKindCount] = {"PageHeader", "ColumnHeader", "Detail", "PageFooter",
                                                          "Summary"};
        const QString which = Word(0);
        int kind = -1;
        for (int k = 0; k < kBandKindCount; ++k)
            if (which.compare(QLatin1String(names[k]), Qt::CaseInsensitive) == 0) kind = k;
        if (kind < 0)
            Fail("unknown band \"" + which + "\" (PageHeader, ColumnHeader, Detail, PageFooter or Summary)");
        ReportBand& band = report_->bands[kind];
        if (band.present) Fail(QString("the band %1 appears twice in the report").arg(names[kind]));
        band.present = true;
        band.line = line_;
        band.height = Inches("height", std::nullopt);
        if (kind == static_cast<int>(BandKind::Detail) && band.height <= 0) Fail("the Detail band needs a height");
        if (const auto pages = Setting("pages")) {
            if (pages->compare("records", Qt::CaseInsensitive) == 0) band.onlyWithRecords = true;
            else if (pages->compare("all", Qt::CaseInsensitive) != 0) Fail("pages must be all or records");
        }
        band_ = &band;
        bandKind_ = static_cast<BandKind>(kind);
    }

    void ItemStatement(const ReportProjectFile& project, const QString& keyword) {
        if (!band_) Fail("\"" + keyword + "\" outside a band");
        ReportItem item;
        item.line = line_;
        item.x = Inches("x", std::nullopt);
        item.y = Inches("y", 0.0);
        if (keyword == "text") {
            item.kind = ReportItem::Kind::Text;
            item.w = Inches("w", std::nullopt);
            const auto font = Setting("font");
            if (font) {
                if (!project.FindFont(font->toStdString())) Fail("unknown font \"" + *font + "\"");
                item.font = font->toStdString();
            } else {
                if (project.fonts.empty()) Fail("no font is declared before this text");
                item.font = project.fonts.front().name;
            }
            if (const auto a = Setting("align")) {
                if (a->compare("left", Qt::CaseInsensitive) == 0) item.align = TextAlign::Left;
                else if (a->compare("center", Qt::CaseInsensitive) == 0) item.align = TextAlign::Center;
                else if (a->compare("right", Qt::CaseInsensitive) == 0) item.align = TextAlign::Right;
                else Fail("the alignment must be left, center or right");
            }
            bool hasText = false;
            for (std::size_t t = 1; t < tokens_.size(); ++t)
                if (tokens_[t].key.isEmpty()) hasText = true;
            if (!hasText) Fail("the text item has no text");
            item.text = Template(Word(0));
        } else if (keyword == "rule") {
            item.kind = ReportItem::Kind::Rule;
            item.thick = Inches("thick", 0.01);
            item.w = Inches("w", 0.0);
            item.h = Inches("h", 0.0);
            if ((item.w > 0) == (item.h > 0)) Fail("a rule has a length w (across) or h (down), not both");
        } else {
            item.kind = ReportItem::Kind::Box;
            item.thick = Inches("thick", 0.01);
            item.w = Inches("w", std::nullopt);
            item.h = Inches("h", std::nullopt);
        }
        if (item.y > band_->height) Fail("the item starts below the end of its band");
        band_->items.push_back(std::move(item));
    }

    TextTemplate Template(const QString& source) const {
        TextTemplate out;
        QString literal;
        auto flush = [&] {
            if (literal.isEmpty()) return;
            TemplatePart p;
            p.text = literal;
            out.push_back(p);
            literal.clear();
        };
        for (qsizetype i = 0; i < source.size(); ++i) {
            const QChar c = source[i];
            if (c == '}') {
                if (i + 1 < source.size() && source[i + 1] == '}') ++i;
                else Fail("a \"}\" without its \"{\" (write \"}}\" for a brace)");
                literal += c;
                continue;
            }
            if (c != '{') {
                literal += c;
                continue;
            }
            if (i + 1 < source.size() && source[i + 1] == '{') {
                literal += c;
                ++i;
                continue;
            }
            const qsizetype close = source.indexOf('}', i);
            if (close < 0) Fail("a \"{\" without its \"}\"");
            flush();
            out.push_back(Reference(source.mid(i + 1, close - i - 1).trimmed()));
            i = close;
        }
        flush();
        return out;
    }

    TemplatePart Reference(const QString& ref) const {
        using K = TemplatePart::Kind;
        struct Known {
            const char* word;
            K kind;
            bool named;
            bool detailOnly;
        };
        static const Known known[] = {
            {"field", K::Field, true, true},       {"amount", K::Amount, true, true},
            {"param", K::Param, true, false},
            {"page", K::Page, false, false},       {"pages", K::Pages, false, false},
            {"line", K::Line, false, true},        {"count", K::Count, false, false},
            {"pagecount", K::PageCount, false, false}, {"sum", K::Sum, true, false},
            {"pagesum", K::PageSum, true, false},
        };
        const qsizetype colon = ref.indexOf(':');
        const QString word = (colon < 0 ? ref : ref.left(colon)).trimmed();
        const QString name = colon < 0 ? QString() : ref.mid(colon + 1).trimmed();
        for (const Known& k : known) {
            if (word.compare(QLatin1String(k.word), Qt::CaseInsensitive) != 0) continue;
            if (k.named && name.isEmpty()) Fail("\"{" + ref + "}\" needs a name after \"" + word + ":\"");
            if (!k.named && colon >= 0) Fail("\"{" + ref + "}\" takes no name");
            if (k.detailOnly && bandKind_ != BandKind::Detail)
                Fail("\"{" + ref + "}\" can only be used in the Detail band");
            TemplatePart p;
            p.kind = k.kind;
            p.name = name.toStdString();
            return p;
        }
        Fail("unknown value \"{" + ref + "}\"");
    }

    const QString& text_;
    std::string file_;
    int line_ = 0;
    std::vector<Token> tokens_;
    std::vector<bool> used_;
    std::optional<ReportDefinition> report_;
    ReportBand* band_ = nullptr;
    BandKind bandKind_ = BandKind::Detail;
};

}  // namespace

ReportProjectFile ParseReportProject(const QString& text, const std::string& fileName) {
    return Reader(text, fileName).Read();
}

ReportProjectFile ReadReportProject(const std::string& path) {
    const QString name = QString::fromStdString(path);
    QFile file(name);
    if (!QFileInfo(name).isFile() || !file.open(QIODevice::ReadOnly))
        throw ReportError("The report project file \"" + path + "\" could not be opened" +
                          (QFileInfo::exists(name) ? "." : ": it does not exist."));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw ReportError("The report project file \"" + path + "\" could not be read: " +
                          file.errorString().toStdString() + ".");
    return ParseReportProject(QString::fromUtf8(bytes), path);
}

}  // namespace gs
