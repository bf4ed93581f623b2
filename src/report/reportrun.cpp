#include "report/reportrun.h"

#include "platform/qtext.h"
#include "report/reportdata.h"

#include <algorithm>
#include <cmath>

namespace gs {

namespace {

int Px(double inches, int resolution) { return static_cast<int>(std::lrint(inches * resolution)); }

char Lower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

// How many records are read between two questions to keepGoing.
constexpr std::uint32_t kProgressStep = 1000;

}  // namespace

bool NameLess::operator()(const std::string& a, const std::string& b) const {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return Lower(x) < Lower(y); });
}

PageFrame FrameOfCanvas(const PrintCanvas& canvas) {
    PageFrame f;
    f.resolutionX = canvas.ResolutionX();
    f.resolutionY = canvas.ResolutionY();
    f.printableLeft = canvas.PhysicalOffsetX();
    f.printableTop = canvas.PhysicalOffsetY();
    f.printableWidth = canvas.PrintableWidth();
    f.printableHeight = canvas.PrintableHeight();
    f.sheetWidth = f.printableWidth + 2 * f.printableLeft;
    f.sheetHeight = f.printableHeight + 2 * f.printableTop;
    return f;
}

std::optional<std::int64_t> ParseCents(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    std::int64_t units = 0;
    int digits = 0, fraction = 0, fractionDigits = 0;
    bool roundUp = false, point = false;
    for (char c : text) {
        if (c == '.' && !point) {
            point = true;
            continue;
        }
        if (c < '0' || c > '9') return std::nullopt;
        ++digits;
        if (!point) {
            if (units > 999'999'999'999LL) return std::nullopt;
            units = units * 10 + (c - '0');
        } else if (fractionDigits < 2) {
            fraction = fraction * 10 + (c - '0');
            ++fractionDigits;
        } else if (fractionDigits++ == 2) {
            roundUp = c >= '5';
        }
    }
    if (digits == 0) return std::nullopt;
    if (fractionDigits == 1) fraction *= 10;
    std::int64_t cents = units * 100 + fraction + (roundUp ? 1 : 0);
    return negative ? -cents : cents;
}

QString FormatCents(std::int64_t cents) {
    const bool negative = cents < 0;
    const std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(cents) : cents;
    QString units = QString::number(magnitude / 100);
    for (qsizetype at = units.size() - 3; at > 0; at -= 3) units.insert(at, ',');
    return (negative ? "-" : "") + units + "." + QString::number(magnitude % 100).rightJustified(2, '0');
}

// ---------------------------------------------------------------- binding

struct ReportRun::Part {
    TemplatePart::Kind kind = TemplatePart::Kind::Literal;
    QString text;
    int slot = -1;
    std::string name;
};

struct ReportRun::Item {
    ReportItem::Kind kind = ReportItem::Kind::Text;
    int x = 0, y = 0, w = 0, h = 0, thick = 1;  // canvas pixels; y from the band's top
    int font = 0;
    TextAlign align = TextAlign::Left;
    std::vector<Part> parts;
    bool hasValues = false;
};

struct ReportRun::Band {
    bool present = false;
    bool onlyWithRecords = false;
    bool usesTotals = false;  // shows a sum over the whole report
    int height = 0;
    std::vector<Item> items;
};

struct ReportRun::Context {
    int page = 0;
    int pageRecords = 0;
    int row = -1;               // index into rows_, detail band only
    std::uint32_t line = 0;     // running number of the record
};

ReportRun::ReportRun(const ReportProjectFile& project, const ReportDefinition& report, ReportData& data,
                     ReportParams params, const PageFrame& frame)
    : report_(report), fileName_(project.fileName), data_(data), params_(std::move(params)), frame_(frame) {
    count_ = data_.RecordCount();
    Bind(project);
    Paginate();
}

ReportRun::~ReportRun() = default;

void ReportRun::Bind(const ReportProjectFile& project) {
    for (const ReportFont& f : project.fonts) {
        CanvasFont c;
        c.face = f.face;
        c.height = -std::max(1, Px(f.size / 72.0, frame_.resolutionY));
        c.weight = f.bold ? 700 : 400;
        fonts_.push_back(c);
    }
    widths_.resize(fonts_.size());
    left_ = Px(report_.marginLeft, frame_.resolutionX);
    auto slotOf = [&](const std::string& name, int line) {
        const int field = data_.FieldIndex(name);
        if (field < 0)
            throw ReportError("Error in the report project file \"" + fileName_ + "\", line " + std::to_string(line) +
                              ": the data connection \"" + report_.connection + "\" has no field \"" + name + "\".");
        for (std::size_t s = 0; s < slotField_.size(); ++s)
            if (slotField_[s] == field) return static_cast<int>(s);
        slotField_.push_back(field);
        slotSummed_.push_back(false);
        return static_cast<int>(slotField_.size() - 1);
    };
    const int rx = frame_.resolutionX, ry = frame_.resolutionY;
    for (const ReportBand& source : report_.bands) {
        Band band;
        band.present = source.present;
        band.onlyWithRecords = source.onlyWithRecords;
        band.height = Px(source.height, ry);
        for (const ReportItem& si : source.items) {
            Item item;
            item.kind = si.kind;
            item.x = left_ + Px(si.x, rx) - frame_.printableLeft;
            item.y = Px(si.y, ry);
            item.w = Px(si.w, rx);
            item.h = Px(si.h, ry);
            item.thick = std::max(1, Px(si.thick, ry));
            item.align = si.align;
            for (std::size_t f = 0; f < project.fonts.size(); ++f)
                if (SameName(project.fonts[f].name, si.font)) item.font = static_cast<int>(f);
            for (const TemplatePart& sp : si.text) {
                Part p;
                p.kind = sp.kind;
                p.text = sp.text;
                p.name = sp.name;
                using K = TemplatePart::Kind;
                if (sp.kind == K::Field || sp.kind == K::Amount || sp.kind == K::Sum || sp.kind == K::PageSum)
                    p.slot = slotOf(sp.name, si.line);
                if (sp.kind == K::Sum || sp.kind == K::PageSum) slotSummed_[static_cast<std::size_t>(p.slot)] = true;
                if (sp.kind == K::Sum) band.usesTotals = true;
                if (sp.kind != K::Literal) item.hasValues = true;
                item.parts.push_back(std::move(p));
            }
            band.items.push_back(std::move(item));
        }
        bands_.push_back(std::move(band));
    }
}

void ReportRun::Paginate() {
    const int ry = frame_.resolutionY;
    top_ = std::max(Px(report_.marginTop, ry), frame_.printableTop);
    bottom_ = std::min(frame_.sheetHeight - Px(report_.marginBottom, ry), frame_.printableTop + frame_.printableHeight);
    auto height = [&](BandKind k) { return bands_[static_cast<int>(k)].height; };
    const int body = bottom_ - top_;
    const int fixed = height(BandKind::PageHeader) + height(BandKind::ColumnHeader) + height(BandKind::PageFooter);
    const int detail = height(BandKind::Detail);
    const int summary = height(BandKind::Summary);
    perPage_ = detail > 0 && body > fixed ? (body - fixed) / detail : 0;
    if (perPage_ < 1 || summary > body - height(BandKind::PageHeader) - height(BandKind::PageFooter))
        throw ReportError("The report \"" + report_.name + "\" of \"" + fileName_ +
                          "\" does not fit on the page: its bands are taller than the space between the margins.");
    detailPages_ = count_ == 0 ? 1 : static_cast<int>((count_ + perPage_ - 1) / perPage_);
    const int onLast = static_cast<int>(count_ - std::uint32_t(detailPages_ - 1) * perPage_);
    summaryOwnPage_ = summary > 0 && body - fixed - onLast * detail < summary;
    pages_ = detailPages_ + (summaryOwnPage_ ? 1 : 0);
}

// ---------------------------------------------------------------- records

void ReportRun::SeekTo(std::uint32_t position, int page) {
    // A long way forward is gone in steps, so the caller may stop it.
    std::uint32_t from = lastPosition_ && *lastPosition_ <= position ? *lastPosition_ : 0;
    while (keepGoing && position - from > kProgressStep) {
        from += kProgressStep;
        data_.Seek(from);
        lastPosition_ = from;
        if (!keepGoing(page)) throw ReportCancelled();
    }
    data_.Seek(position);
    lastPosition_ = position;
}

void ReportRun::LoadPage(int page, std::uint32_t first, int records) {
    rows_.assign(static_cast<std::size_t>(records), {});
    pageSums_.assign(slotField_.size(), 0);
    for (int r = 0; r < records; ++r) {
        SeekTo(first + static_cast<std::uint32_t>(r), page);
        auto& row = rows_[static_cast<std::size_t>(r)];
        row.resize(slotField_.size());
        for (std::size_t s = 0; s < slotField_.size(); ++s) {
            row[s] = data_.FieldText(slotField_[s]);
            if (slotSummed_[s])
                if (const auto cents = ParseCents(row[s])) pageSums_[s] += *cents;
        }
    }
}

void ReportRun::EnsureTotals(int page) {
    if (totals_) return;
    std::vector<std::int64_t> totals(slotField_.size(), 0);
    for (std::uint32_t pos = 0; pos < count_; ++pos) {
        SeekTo(pos, page);
        for (std::size_t s = 0; s < slotField_.size(); ++s)
            if (slotSummed_[s])
                if (const auto cents = ParseCents(data_.FieldText(slotField_[s]))) totals[s] += *cents;
        if (keepGoing && pos % kProgressStep == kProgressStep - 1 && !keepGoing(page)) throw ReportCancelled();
    }
    totals_ = std::move(totals);
}

// ---------------------------------------------------------------- drawing

void ReportRun::DrawPage(int page, PrintCanvas& canvas) {
    if (page < 1 || page > pages_)
        throw ReportError("The report \"" + report_.name + "\" has no page " + std::to_string(page) + ".");
    const std::uint32_t first = std::uint32_t(page - 1) * static_cast<std::uint32_t>(perPage_);
    const int records = page <= detailPages_ ? static_cast<int>(std::min<std::uint32_t>(perPage_, count_ - first)) : 0;
    const bool summaryHere = page == pages_;
    auto band = [&](BandKind k) -> const Band& { return bands_[static_cast<int>(k)]; };
    const bool needsTotals = band(BandKind::PageHeader).usesTotals || band(BandKind::PageFooter).usesTotals ||
                             (records > 0 && (band(BandKind::ColumnHeader).usesTotals ||
                                              band(BandKind::Detail).usesTotals)) ||
                             (summaryHere && band(BandKind::Summary).usesTotals);
    if (needsTotals) EnsureTotals(page);
    LoadPage(page, first, records);

    Context ctx;
    ctx.page = page;
    ctx.pageRecords = records;
    int y = top_ - frame_.printableTop;
    DrawBand(band(BandKind::PageHeader), y, ctx, canvas);
    y += band(BandKind::PageHeader).height;
    if (records > 0) {
        DrawBand(band(BandKind::ColumnHeader), y, ctx, canvas);
        y += band(BandKind::ColumnHeader).height;
    }
    for (int r = 0; r < records; ++r) {
        Context line = ctx;
        line.row = r;
        line.line = first + static_cast<std::uint32_t>(r) + 1;
        DrawBand(band(BandKind::Detail), y, line, canvas);
        y += band(BandKind::Detail).height;
    }
    if (summaryHere) DrawBand(band(BandKind::Summary), y, ctx, canvas);
    const Band& footer = band(BandKind::PageFooter);
    DrawBand(footer, bottom_ - frame_.printableTop - footer.height, ctx, canvas);
}

void ReportRun::DrawBand(const Band& band, int top, const Context& ctx, PrintCanvas& canvas) {
    if (!band.present || (band.onlyWithRecords && ctx.pageRecords == 0)) return;
    for (const Item& item : band.items) {
        const int y = top + item.y;
        switch (item.kind) {
        case ReportItem::Kind::Rule:
            canvas.FillRect(item.w > 0 ? QRect(item.x, y, item.w, item.thick) : QRect(item.x, y, item.thick, item.h),
                            Qt::black);
            break;
        case ReportItem::Kind::Box: {
            const int t = std::min({item.thick, item.w, item.h});
            canvas.FillRect(QRect(item.x, y, item.w, t), Qt::black);
            canvas.FillRect(QRect(item.x, y + item.h - t, item.w, t), Qt::black);
            canvas.FillRect(QRect(item.x, y, t, item.h), Qt::black);
            canvas.FillRect(QRect(item.x + item.w - t, y, t, item.h), Qt::black);
            break;
        }
        case ReportItem::Kind::Text: {
            QString text = Evaluate(item, ctx);
            if (text.isEmpty()) break;
            const CanvasFont& font = fonts_[static_cast<std::size_t>(item.font)];
            if (!(canvas.Font() == font)) canvas.SetFont(font);
            int width = Width(canvas, item.font, text);
            if (width > item.w) {
                // The longest beginning that fits its column.
                qsizetype lo = 0, hi = text.size() - 1;
                while (lo < hi) {
                    const qsizetype mid = (lo + hi + 1) / 2;
                    if (canvas.TextWidth(text.left(mid)) <= item.w) lo = mid;
                    else hi = mid - 1;
                }
                if (lo > 0 && text[lo - 1].isHighSurrogate()) --lo;
                text.truncate(lo);
                while (text.endsWith(' ')) text.chop(1);
                if (text.isEmpty()) break;
                width = canvas.TextWidth(text);
            }
            int x = item.x;
            if (item.align == TextAlign::Right) x += item.w - width;
            else if (item.align == TextAlign::Center) x += (item.w - width) / 2;
            canvas.TextOut(x, y, text);
            break;
        }
        }
    }
}

int ReportRun::Width(PrintCanvas& canvas, int font, const QString& text) {
    // Dates, fees and cities repeat from record to record; measuring a text
    // costs about as much as drawing it.
    QHash<QString, int>& known = widths_[static_cast<std::size_t>(font)];
    const auto it = known.constFind(text);
    if (it != known.constEnd()) return *it;
    if (known.size() > 20000) known.clear();
    const int width = canvas.TextWidth(text);
    known.insert(text, width);
    return width;
}

QString ReportRun::Evaluate(const Item& item, const Context& ctx) const {
    if (!item.hasValues) {
        QString out;
        for (const Part& p : item.parts) out += p.text;
        return out;
    }
    // Literal text between two values is a separator: it stands only between
    // two values that are there.
    QString out, pending;
    bool seenValue = false, printedValue = false;
    for (const Part& p : item.parts) {
        if (p.kind == TemplatePart::Kind::Literal) {
            (seenValue ? pending : out) += p.text;
            continue;
        }
        const QString v = Value(p, ctx);
        seenValue = true;
        if (!v.isEmpty()) {
            if (printedValue) out += pending;
            out += v;
            printedValue = true;
        }
        pending.clear();
    }
    if (!printedValue) return {};
    return out + pending;
}

QString ReportRun::Value(const Part& part, const Context& ctx) const {
    using K = TemplatePart::Kind;
    switch (part.kind) {
    case K::Literal: return part.text;
    case K::Field:
        return ctx.row < 0 ? QString() : FromAnsi(rows_[static_cast<std::size_t>(ctx.row)][static_cast<std::size_t>(part.slot)]);
    case K::Amount: {
        if (ctx.row < 0) return {};
        const std::string& raw = rows_[static_cast<std::size_t>(ctx.row)][static_cast<std::size_t>(part.slot)];
        const auto cents = ParseCents(raw);
        return cents ? FormatCents(*cents) : FromAnsi(raw);
    }
    case K::Param: {
        const auto it = params_.find(part.name);
        return it == params_.end() ? QString() : it->second;
    }
    case K::Page: return QString::number(ctx.page);
    case K::Pages: return QString::number(pages_);
    case K::Line: return ctx.line ? QString::number(ctx.line) : QString();
    case K::Count: return QString::number(count_);
    // A page without records (the summary's own) has no page figures.
    case K::PageCount: return ctx.pageRecords ? QString::number(ctx.pageRecords) : QString();
    case K::Sum: return totals_ ? FormatCents((*totals_)[static_cast<std::size_t>(part.slot)]) : QString();
    case K::PageSum: return ctx.pageRecords ? FormatCents(pageSums_[static_cast<std::size_t>(part.slot)]) : QString();
    }
    return {};
}

}  // namespace gs
