// Every catalogued window, opened as a user sees it: all its texts can be
// read in full, and its title is exactly its own caption.
#include "app/window_catalog.h"

#include "platform/application.h"
#include "support/clippedtext.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

namespace gs::test {
namespace {

std::string EntryName(const ::testing::TestParamInfo<qsizetype>& info) {
    std::string name;
    for (QChar c : WindowCatalog()[info.param].name)
        if (c.isLetterOrNumber()) name += c.toLatin1();
    return name;
}

class CatalogWindowTest : public ::testing::TestWithParam<qsizetype> {};

TEST_P(CatalogWindowTest, ShowsEveryTextInFullUnderItsOwnCaption) {
    const CatalogWindow& entry = WindowCatalog()[GetParam()];
    CatalogContext context;
    std::unique_ptr<QWidget> window = entry.open(context);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    QApplication::processEvents();

    // GREENSLIP_WINDOW_SHOTS=<folder> keeps a picture of every window to look at.
    if (const QString shots = qEnvironmentVariable("GREENSLIP_WINDOW_SHOTS"); !shots.isEmpty())
        window->grab().save(shots + "/" + QString::fromStdString(EntryName({GetParam(), 0})) + ".png");

    const QList<ClippedText> clipped = FindClippedTexts(*window);
    EXPECT_TRUE(clipped.isEmpty()) << entry.name.toStdString() << ":\n" << Describe(clipped).toStdString();
    if (!entry.caption.isEmpty()) {
        EXPECT_EQ(window->windowTitle(), entry.caption);
    }
}

INSTANTIATE_TEST_SUITE_P(Windows, CatalogWindowTest, ::testing::Range(qsizetype{0}, WindowCatalog().size()),
                         EntryName);

// Qt's X11 platform appends the application display name, when one is set,
// to every window title that does not already end in it. The program's
// windows carry their own captions, so after every window has been opened no
// display name may be set: one that is set stays put when the application
// name changes, one that is not follows it.
TEST(ApplicationTitle, LeavesNoDisplayNameForTheWindowSystemToAppend) {
    for (const CatalogWindow& entry : WindowCatalog()) {
        CatalogContext context;
        entry.open(context);
    }
    EXPECT_EQ(ApplicationTitle(), "Greenslip");
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), "Greenslip");
    SetApplicationTitle("Probe");
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), "Probe");
    SetApplicationTitle("Greenslip");
}

}  // namespace
}  // namespace gs::test
