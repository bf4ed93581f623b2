#pragma once
// Helpers for the report engine's tests: records held in memory, and pages
// drawn on the recording canvas read back as lines of text.
#include "printing/recordingcanvas.h"
#include "report/reportdata.h"
#include "report/reportmodel.h"
#include "report/reportproject.h"

#include <QStringList>

#include <map>
#include <string>
#include <vector>

namespace gs::test {

// Records in memory, every field a text. Counts the records it was moved over.
class MemoryData : public ReportData {
public:
    MemoryData(std::vector<std::string> fields, std::vector<std::vector<std::string>> rows)
        : fields_(std::move(fields)), rows_(std::move(rows)) {}
    int FieldIndex(const std::string& name) const override {
        for (std::size_t i = 0; i < fields_.size(); ++i)
            if (SameName(fields_[i], name)) return static_cast<int>(i);
        return -1;
    }
    std::uint32_t RecordCount() const override { return static_cast<std::uint32_t>(rows_.size()); }
    void Seek(std::uint32_t position) override {
        moves += position >= current_ ? position - current_ : position;
        current_ = position;
    }
    std::string FieldText(int field) override { return rows_.at(current_).at(static_cast<std::size_t>(field)); }

    std::uint64_t moves = 0;

private:
    std::vector<std::string> fields_;
    std::vector<std::vector<std::string>> rows_;
    std::uint32_t current_ = 0;
};

// The texts of a page, ordered top to bottom and left to right, those on one
// line (same y) joined by " | ".
inline QStringList PageLines(const std::vector<RecordedItem>& items) {
    std::map<int, std::map<int, QString>> byLine;
    for (const RecordedItem& item : items)
        if (item.kind == RecordedItem::Kind::Text) byLine[item.y][item.x] += item.text;
    QStringList out;
    for (const auto& [y, texts] : byLine) {
        QStringList parts;
        for (const auto& [x, text] : texts) parts << text;
        out << parts.join(" | ");
    }
    return out;
}

// Letter at 600 dpi with the whole sheet printable.
inline RecordingCanvasSetup Letter(bool landscape) {
    RecordingCanvasSetup s;
    s.printableWidth = landscape ? 6600 : 5100;
    s.printableHeight = landscape ? 5100 : 6600;
    return s;
}

// An engine that draws every page of the executed reports on recording
// canvases of Letter paper.
class RecordingEngine : public TReportEngine {
public:
    void Execute(ReportJob& job) override {
        ++executed;
        landscape = job.Landscape();
        const RecordingCanvasSetup setup = Letter(job.Landscape());
        auto run = job.Layout(FrameOfCanvas(RecordingCanvas(setup)));
        pages.clear();
        for (int p = 1; p <= run->PageCount(); ++p) {
            RecordingCanvas canvas(setup);
            run->DrawPage(p, canvas);
            pages.push_back(std::move(canvas.items));
        }
    }
    int executed = 0;
    bool landscape = false;
    std::vector<std::vector<RecordedItem>> pages;
};

inline const RecordedItem* FindText(const std::vector<RecordedItem>& items, const QString& text) {
    for (const RecordedItem& item : items)
        if (item.kind == RecordedItem::Kind::Text && item.text == text) return &item;
    return nullptr;
}

}  // namespace gs::test
