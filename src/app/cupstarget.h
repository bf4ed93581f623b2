#pragma once
// Jobs for a CUPS queue without QPrinter (so without Qt Print Support and
// widgets): every page is written as a PDF file on the program's paper and
// handed to the queue with libcups, asking for that paper as the job's
// media. CUPS filters turn the PDF into whatever the printer speaks.
#include "printing/printtarget.h"

#include <QTemporaryDir>
#include <string>

namespace gs {

class CupsPrintTarget : public PrintTarget {
public:
    CupsPrintTarget(std::string queue, std::string paperSetting);
    // Throws PrintError with the scheduler's reason when the job is refused.
    void PrintPage(const QString& jobName, const PageDrawer& draw) override;

    // Whether CUPS knows the queue; false with the reason.
    static bool QueueExists(const std::string& queue, std::string* error);
    // The default destination's name; empty when there is none.
    static std::string DefaultQueue();

private:
    std::string queue_;
    std::string paper_;
    QTemporaryDir spool_;
};

}  // namespace gs
