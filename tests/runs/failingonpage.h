#pragma once
// A printer that runs out of paper midway through a run: it fails the given
// page (counted from 1 over every job it is given) and records the others.
#include "printing/printtarget.h"

namespace gs::test {

class FailingOnPage : public PrintTarget {
public:
    explicit FailingOnPage(int page) : page_(page) {}
    void PrintPage(const QString& jobName, const PageDrawer& draw) override {
        if (++started_ == page_) throw PrintError("The printer is out of paper.");
        recording.PrintPage(jobName, draw);
    }
    RecordingPrintTarget recording;

private:
    int page_;
    int started_ = 0;
};

}  // namespace gs::test
