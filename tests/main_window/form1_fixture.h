#pragma once
// A Form1 on Qt's offscreen platform, with Qt's Russian texts, in the point
// locale or the Russian comma locale.
#include <QApplication>
#include <QLocale>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <functional>
#include <memory>

#include "app/qt_setup.h"
#include "main_window/form1.h"

namespace korvalen {

class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    static int argc = 1;
    static char name[] = "form1_test";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Random texts reach scripts no installed font covers; that is no news.
    qputenv("QT_LOGGING_RULES", "qt.text.font.db=false;qt.qpa.fonts=false;qt.text.*=false");
    app_ = std::make_unique<QApplication>(argc, argv);
    // Qt's own texts in Russian, as the program starts.
    installQtTranslations();
    installFontSubstitutions();
  }
  void TearDown() override { app_.reset(); }

 private:
  std::unique_ptr<QApplication> app_;
};

enum class Loc { Point, Comma };

inline QLocale localeOf(Loc l) {
  return l == Loc::Comma ? QLocale(QLocale::Russian, QLocale::Russia) : QLocale::c();
}

// Writes a decimal text in the locale under test: "0.5" becomes "0,5" in the comma locale.
inline QString dec(Loc l, const char* text) {
  QString s = QString::fromUtf8(text);
  if (l == Loc::Comma) s.replace(QLatin1Char('.'), QLatin1Char(','));
  return s;
}

class Form1Test : public ::testing::TestWithParam<Loc> {
 protected:
  void SetUp() override {
    QLocale::setDefault(localeOf(GetParam()));
    form = std::make_unique<Form1>();
    form->show();
  }
  void TearDown() override {
    form.reset();
    QLocale::setDefault(QLocale::c());
  }
  // Lets the start-up timer tick, after which the isoline boxes are live.
  void passStartUpGuard() {
    for (int i = 0; i < 1000 && form->Timer1->enabled(); ++i) QTest::qWait(5);
    ASSERT_FALSE(form->Timer1->enabled());
  }
  QString d(const char* text) const { return dec(GetParam(), text); }
  // Replaces a box's text as a user does: select all, type.
  static void type(QLineEdit* box, const QString& text) {
    box->selectAll();
    if (text.isEmpty())
      QTest::keyClick(box, Qt::Key_Delete);
    else
      QTest::keyClicks(box, text);
  }

  std::unique_ptr<Form1> form;
};

// Runs the answer on the next modal window, once the call that opens it waits.
template <typename W>
void answerNext(int& answered, std::function<void(W*)> answer) {
  QTimer::singleShot(0, [&answered, answer] {
    auto* box = qobject_cast<W*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    ++answered;
    answer(box);
  });
}

}  // namespace korvalen
