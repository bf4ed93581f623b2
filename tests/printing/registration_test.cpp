#include "printing/registration.h"

#include <QFile>
#include <QSvgRenderer>
#include <gtest/gtest.h>

namespace gs {
namespace {

const std::string kForm = std::string(GREENSLIP_DATA_DIR) + "bcapp.emf";

TEST(RegistrationFormTest, TheShippedMetafileConvertsToAValidPicture) {
    QFile file(QString::fromStdString(kForm));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray svg = EmfToSvg(file.readAll());
    ASSERT_FALSE(svg.isEmpty());
    QSvgRenderer renderer(svg);
    EXPECT_TRUE(renderer.isValid());
    EXPECT_TRUE(svg.contains("DUNS"));
    EXPECT_GT(renderer.defaultSize().height(), renderer.defaultSize().width());  // a portrait page
}

TEST(RegistrationFormTest, StretchedBetweenTheUnprintableMargins) {
    RecordingPrintTarget target({600, 600, 100, 120, 4900, 6360});
    ASSERT_TRUE(PrintRegistrationForm(target, kForm));
    ASSERT_EQ(target.pages.size(), 1u);
    ASSERT_EQ(target.pages[0].items.size(), 1u);
    const RecordedItem& item = target.pages[0].items[0];
    EXPECT_EQ(item.kind, RecordedItem::Kind::Picture);
    EXPECT_EQ(QRect(item.x, item.y, item.width, item.height), QRect(100, 120, 4900 - 200, 6360 - 240));
}

}  // namespace
}  // namespace gs
