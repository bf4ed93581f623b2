// The clipped-text check itself, on small windows with one fault each, so
// that a check that stopped seeing a fault cannot pass the catalog quietly.
#include "support/clippedtext.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

namespace gs::test {
namespace {

const QString kLong = "The numbers below will move the text on the form either 1/100\" to the right "
                      "if a negative number or to the left if a positive number.";

struct Case {
    const char* name;
    bool clipped;
    std::function<void(QWidget& window)> build;
};

TEST(ClippedText, FindsEachKindOfCutText) {
    const Case cases[] = {
        {"label that fits", false, [](QWidget& w) { (new QLabel("Postage", &w))->setGeometry(4, 4, 100, 20); }},
        {"label too narrow", true, [](QWidget& w) { (new QLabel("Restricted Delivery Fee", &w))->setGeometry(4, 4, 40, 20); }},
        {"wrapped label too low", true,
         [](QWidget& w) {
             auto* l = new QLabel(kLong, &w);
             l->setWordWrap(true);
             l->setGeometry(4, 4, 200, 20);
         }},
        {"wrapped label tall enough", false,
         [](QWidget& w) {
             auto* l = new QLabel(kLong, &w);
             l->setWordWrap(true);
             l->setGeometry(4, 4, 200, 120);
         }},
        {"rich-text label too narrow", true,
         [](QWidget& w) { (new QLabel("<b>unique numbers</b> should be consecutive", &w))->setGeometry(4, 4, 60, 20); }},
        {"label outside its window", true,
         [](QWidget& w) { (new QLabel("Total", &w))->setGeometry(w.width() - 10, 4, 60, 20); }},
        {"button caption too wide", true, [](QWidget& w) { (new QPushButton("P&aste", &w))->setGeometry(4, 4, 16, 40); }},
        {"button that fits", false, [](QWidget& w) { (new QPushButton("P&aste", &w))->setGeometry(4, 4, 60, 28); }},
        {"check box too short", true,
         [](QWidget& w) { (new QCheckBox("Do not show this screen again", &w))->setGeometry(4, 4, 300, 6); }},
        {"radio button hanging out of its group box", true,
         [](QWidget& w) {
             auto* g = new QGroupBox("Print Address on Extra Label?", &w);
             g->setGeometry(4, 4, 300, 40);
             (new QRadioButton("Yes", g))->setGeometry(8, 30, 100, 20);
         }},
        {"group title wider than its box", true,
         [](QWidget& w) { (new QGroupBox("Print Address on Extra Label?", &w))->setGeometry(4, 4, 40, 60); }},
        {"read-only text box that scrolls", true,
         [](QWidget& w) {
             auto* t = new QPlainTextEdit("one\ntwo\nthree\nfour\nfive\nsix", &w);
             t->setReadOnly(true);
             t->setGeometry(4, 4, 200, 30);
         }},
        {"hidden label", false,
         [](QWidget& w) {
             auto* l = new QLabel("Restricted Delivery Fee", &w);
             l->setGeometry(4, 4, 10, 10);
             l->hide();
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QWidget window;
        window.resize(320, 160);
        c.build(window);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        const QList<ClippedText> found = FindClippedTexts(window);
        EXPECT_EQ(!found.isEmpty(), c.clipped) << Describe(found).toStdString();
    }
}

}  // namespace
}  // namespace gs::test
