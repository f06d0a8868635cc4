// The text boxes: each change of a text is read, stored and shown as accepted
// or not (pale red). No handler ever rewrites what the user typed.
#include <cerrno>
#include <cmath>
#include <limits>
#include <clocale>
#include <cstdlib>
#include <locale.h>

#include "main_window/form1.h"
#include "photometry/checked.h"
#include "photometry/geometry.h"

namespace korvalen {

namespace {

bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }
const QChar kEmDash(0x2014);

// strtod in the C locale, whatever the user's locale is.
double readDecimalC(const std::string& s, bool& overflow) {
  static locale_t c = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(nullptr));
  errno = 0;
  const double v = strtod_l(s.c_str(), nullptr, c);
  overflow = errno == ERANGE && std::isinf(v);
  return v;
}

}  // namespace

void Form1::ПреобразованиеТекстаВЧисло() {
  st.inputEmpty = kFalse;
  if (st.inputText.isEmpty()) {
    st.inputEmpty = kTrue;
    return;
  }
  st.numberText.clear();
  st.separatorFree = kTrue;
  const int32_t length = checkedInt32(st.inputText.size());
  for (st.scanColumn = 1; st.scanColumn <= length; ++st.scanColumn) {
    st.currentChar = st.inputText.mid(st.scanColumn - 1, 1);
    const QChar ch = st.currentChar.at(0);
    st.scanRow = ch.unicode();
    if (ch == QLatin1Char('-') || ch == kEmDash) {
      // The last minus typed wins and drops what was collected before it.
      st.numberText = QStringLiteral("-");
    } else if (isDigit(ch)) {
      st.numberText += ch;
    } else if (ch == QLatin1Char('.') || ch == QLatin1Char(',')) {
      if (st.separatorFree == kTrue) {
        st.numberText += QLatin1Char('.');
        st.separatorFree = kFalse;
      }
    }
    // Anything else is skipped.
  }
}

double Form1::cleanedReading() const {
  // numberText holds an optional minus, digits and at most one point; "", "-",
  // "." and "-." hold no digit and read as 0.
  bool anyDigit = false;
  for (QChar c : st.numberText) anyDigit = anyDigit || isDigit(c);
  if (!anyDigit) return 0.0;
  bool overflow = false;
  const double v = readDecimalC(st.numberText.toStdString(), overflow);
  if (overflow) throw RuntimeError(ErrorKind::Overflow);
  return finite(v);
}

std::optional<double> Form1::localeReading(const QString& text) {
  bool ok = false;
  const double v = QLocale().toDouble(text, &ok);
  if (!ok || !std::isfinite(v)) return std::nullopt;
  return v;
}

double Form1::localeNumber(const QString& text) {
  const std::optional<double> v = localeReading(text);
  if (!v) throw RuntimeError(ErrorKind::TypeMismatch);
  return *v;
}

// The grey tick of start-up becomes an ordinary tick once the view is no longer
// the start-up view; a clear box stays clear.
void Form1::checkRotationView() {
  Check1->setValue(st.view.visibleHalfOnly == kTrue ? 1 : 0);
}

void Form1::Text1_Change() {
  st.inputText = Text1->text();
  ПреобразованиеТекстаВЧисло();
  if (st.inputEmpty == kTrue) {
    Text1->setBackColour(kNotAccepted);
    return;
  }
  try {
    const double v = cleanedReading();
    st.view.rotAngleOX = finite(v * kPi / 180);
    // Both other boxes are read whatever v is: either failing turns Text1 pale red.
    const double oy = localeNumber(Text2->text());
    const double oz = localeNumber(Text3[0]->text());
    const bool startUpView = v == 90 && oy == 0 && oz == 0;
    if (!startUpView) checkRotationView();
    Text1->setBackColour(kAccepted);
  } catch (const RuntimeError&) {
    Text1->setBackColour(kNotAccepted);
  }
}

// Text2 and Text3(0) judge all three rotation boxes and colour only themselves.
void Form1::Text2_Change() {
  try {
    const double ox = localeNumber(Text1->text());
    const double oy = localeNumber(Text2->text());
    const double oz = localeNumber(Text3[0]->text());
    if (!(ox == 90 && oy == 0 && oz == 0)) checkRotationView();
    Text2->setBackColour(kAccepted);
  } catch (const RuntimeError&) {
    Text2->setBackColour(kNotAccepted);
  }
}

void Form1::Text3_Change(int16_t) {
  try {
    const double ox = localeNumber(Text1->text());
    const double oy = localeNumber(Text2->text());
    const double oz = localeNumber(Text3[0]->text());
    if (!(ox == 90 && oy == 0 && oz == 0)) checkRotationView();
    Text3[0]->setBackColour(kAccepted);
  } catch (const RuntimeError&) {
    Text3[0]->setBackColour(kNotAccepted);
  }
}

void Form1::Text4_Change(int16_t) {
  st.inputText = Text4[0]->text();
  ПреобразованиеТекстаВЧисло();
  if (st.inputEmpty == kTrue) {
    Text4[0]->setBackColour(kNotAccepted);
    return;
  }
  try {
    st.lm.sourceInclination = toSingle(cleanedReading() / 180 * kPi);
    Text4[0]->setBackColour(kAccepted);
    РисованиеПолусферыПримера();
  } catch (const RuntimeError&) {
    // Also a failed redraw (s or n not a number): the inclination stays stored.
    Text4[0]->setBackColour(kNotAccepted);
  }
}

// Rebuilds the glossy formula from the texts of s and n as typed.
void Form1::setGlossyFormula(bool rebuildExponent, bool rebuildTail) {
  const QString s = Text5->text();
  const QString n = Text6->text();
  Label13->setCaption(QStringLiteral("ф(i, e, g)= ") + s + QStringLiteral("·(") + n +
                      QStringLiteral("+1)/2·[2·cos(i)·cos(e) —cos(g)]"));
  Label14->setLeft(Label13->x() + Label13->width());
  if (rebuildExponent) Label14->setCaption(n);
  if (rebuildTail) Label15->setCaption(QStringLiteral("+(1—") + s + QStringLiteral(")·cos(i)"));
  Label15->setLeft(Label14->x() + Label14->width() + 1);
}

void Form1::Text5_Change() {
  if (st.lm.surfaceModel != kGlossy) return;
  setGlossyFormula(false, true);
  try {
    РисованиеПолусферыПримера();
  } catch (const RuntimeError&) {
    // s or n is not a number yet (the user is still typing): the example stays as it was.
  }
}

void Form1::Text6_Change() {
  if (st.lm.surfaceModel != kGlossy) return;
  setGlossyFormula(true, false);
  try {
    РисованиеПолусферыПримера();
  } catch (const RuntimeError&) {
    // As for s: the example stays as it was.
  }
}

void Form1::Text7_Change(int16_t) {
  if (Timer1->enabled()) return;
  for (int r = 1; r <= 7; ++r) {
    TextBox* box = Text7[kLegendIndex[r]];
    const std::optional<double> v = localeReading(box->text());
    // A half-width is never taken from a text that is not a number: the row
    // keeps its previous one and the box shows that its text is not accepted.
    if (v && std::fabs(*v) <= std::numeric_limits<float>::max()) {
      st.iso.isolineHalfWidth[r] = toSingle(*v);
      box->setBackColour(kAccepted);
    } else {
      box->setBackColour(kNotAccepted);
    }
  }
}

void Form1::Text8_Change(int16_t) {
  if (Timer1->enabled()) return;
  for (int r = 1; r <= 7; ++r) {
    TextBox* box = Text8[kLegendIndex[r]];
    st.inputText = box->text();
    ПреобразованиеТекстаВЧисло();
    if (st.inputEmpty == kTrue) {
      box->setBackColour(kNotAccepted);
      continue;
    }
    try {
      st.iso.isolineLevel[r] = toSingle(cleanedReading());
      box->setBackColour(kAccepted);
    } catch (const RuntimeError&) {
      box->setBackColour(kNotAccepted);
    }
  }
}

void Form1::Text9_Change() {
  st.inputText = Text9->text();
  ПреобразованиеТекстаВЧисло();
  if (st.inputEmpty == kTrue) {
    Text9->setBackColour(kNotAccepted);
    return;
  }
  try {
    const double r = cleanedReading();
    st.view.sphereRadius = r;  // stored whether or not it is accepted
    if (r <= 0 || r > 1000) {
      // The radius last accepted stays in effect.
      Text9->setBackColour(kNotAccepted);
      return;
    }
    const double k = divide(1, r);
    const double limit = finite((k + 1) / (k * k));
    st.view.unitsPerPixel = k;
    st.view.discLimitSq = limit;
    Text9->setBackColour(kAccepted);
  } catch (const RuntimeError&) {
    Text9->setBackColour(kNotAccepted);
  }
}

}  // namespace korvalen
