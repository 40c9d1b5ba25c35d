// The window in the locale this test program was built for (TORVANE_TEST_LOCALE): the report's
// faces draw Latin letters, digits, kana and kanji, and no caption of the window is clipped.
// Built twice, for C.UTF-8 and for ja_JP.UTF-8, where fontconfig names the families in Japanese
// ("IPAゴシック") and a Japanese face without Latin letters sorts first.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QLabel>
#include <QPushButton>
#include <QRawFont>
#include <QTemporaryDir>
#include <cstdlib>

#include "app/main_window.h"
#include "view/widget/report_font.h"
#include "view/widget/text_view.h"

namespace torvane::app {
namespace {

QApplication& App() {
    static int argc = 1;
    static char name[] = "desktop_locale_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        // Before the font system starts: it reads the locale once.
        setenv("LC_ALL", TORVANE_TEST_LOCALE, 1);
        setenv("LANG", TORVANE_TEST_LOCALE, 1);
        return new QApplication(argc, argv);
    }();
    return *app;
}

class NoLookups : public run::IResolver {
  public:
    std::string LookupHostAddress(const std::string&) override { return {}; }
    std::string LookupHostName(const std::string&) override { return "Unknown"; }
};

int InkBeyond(const QImage& image, int x) {
    int ink = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int column = x; column < image.width(); ++column)
            if (qGray(image.pixel(column, y)) < 128) ++ink;
    return ink;
}

TEST(DesktopLocale, TheReportsFacesDrawLatinLettersDigitsKanaAndKanji) {
    App();
    view::TTextView view;
    for (const bool bold : {true, false}) {
        for (const char16_t c : view::kFaceProbe) {
            const QRawFont face = view.faceFor(c, bold);
            ASSERT_TRUE(face.isValid()) << int(c) << " bold " << bold;
            EXPECT_TRUE(face.supportsCharacter(QChar(c))) << face.familyName().toStdString();
        }
    }
    // IPA Gothic is installed (scripts/setup): it is the report's font, under whatever name the
    // locale gives it, and it draws everything itself.
    ASSERT_TRUE(QFontDatabase::hasFamily(QStringLiteral("IPAGothic")));
    EXPECT_EQ(QRawFont::fromFont(view::ReportFont()).familyName().toStdString(),
              QRawFont::fromFont(QFont(QStringLiteral("IPAGothic"))).familyName().toStdString());
    EXPECT_TRUE(view::DrawsAll(view::ReportFont()));
    EXPECT_TRUE(view::DrawsAll(view::WindowFont(15)));
}

// Each script a registry's answer may hold has a face that draws it (scripts/setup installs
// Noto's CJK and core faces), whatever the report's own font lacks.
TEST(DesktopLocale, EveryScriptOfTheAnswersHasAFace) {
    App();
    view::TTextView view;
    const std::vector<std::pair<const char*, char16_t>> scripts{{"Hangul", u'한'},
                                                                {"simplified Chinese", u'联'},
                                                                {"traditional Chinese", u'網'},
                                                                {"Latin accents", u'ő'},
                                                                {"Greek", u'λ'},
                                                                {"Cyrillic", u'ж'},
                                                                {"Thai", u'ก'},
                                                                {"Arabic", u'ع'},
                                                                {"Hebrew", u'ש'},
                                                                {"Devanagari", u'क'},
                                                                {"kana", u'あ'},
                                                                {"Latin", u'A'}};
    for (const auto& [script, c] : scripts) {
        const QRawFont face = view.faceFor(c);
        ASSERT_TRUE(face.isValid()) << script;
        EXPECT_TRUE(face.supportsCharacter(QChar(c))) << script;
    }
}

TEST(DesktopLocale, NoCaptionOfTheWindowIsClipped) {
    App();
    QTemporaryDir dir;
    NoLookups resolver;
    WindowOptions options;
    options.programDir = dir.path();
    options.historyFile = dir.filePath(QStringLiteral("log.txt"));
    options.resolver = &resolver;
    Tbody window(options);
    window.show();
    // A caption that fits leaves no ink where a wider control would show more of it.
    for (QWidget* control : std::initializer_list<QWidget*>{
             window.Label1(), window.CheckBox1(), window.CheckBox2(), window.CheckBox3()}) {
        const QSize size = control->size();
        control->resize(size.width() + 300, size.height());
        const QImage wide = control->grab().toImage();
        control->resize(size);
        EXPECT_EQ(InkBeyond(wide, size.width()), 0)
            << control->metaObject()->className() << " "
            << control->property("text").toString().toStdString();
    }
    for (QPushButton* button :
         {window.QueryButton(), window.CancelButton(), window.Button1(), window.Button2()})
        EXPECT_LT(button->fontMetrics().horizontalAdvance(button->text()), button->width())
            << button->text().toStdString();
    // "IANA・RDAPで補完" stands on one line on CheckBox2's row, between HostEdit and Button1.
    QCheckBox* box = window.CheckBox3();
    EXPECT_FALSE(box->text().contains('\n'));
    EXPECT_LE(box->height(), window.CheckBox2()->height() + 2);
    EXPECT_NEAR(box->geometry().center().y(), window.CheckBox2()->geometry().center().y(), 2);
    EXPECT_GT(box->x(), window.HostEdit()->geometry().right());
    EXPECT_LT(box->geometry().right(), window.Button1()->x());
}

}  // namespace
}  // namespace torvane::app
