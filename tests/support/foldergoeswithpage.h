#pragma once
// A printer whose page of the given piece goes out as a folder goes away: a
// share unmounted while a run is printing, the log's folder with it.
#include "printing/printtarget.h"

#include <QDir>
#include <QString>
#include <gtest/gtest.h>

#include <utility>

namespace gs {

class FolderGoesWithPage : public PrintTarget {
public:
    FolderGoesWithPage(int page, QString folder) : page_(page), folder_(std::move(folder)) {}
    void PrintPage(const QString& jobName, const PageDrawer& draw) override {
        recording.PrintPage(jobName, draw);
        if (++printed_ == page_) {
            EXPECT_TRUE(QDir(folder_).removeRecursively());
        }
    }
    RecordingPrintTarget recording;

private:
    int page_;
    QString folder_;
    int printed_ = 0;
};

}  // namespace gs
