// Reading tables of observations: the layouts a user's file may have, and
// every rule that refuses a file, with the message naming where and why.
#include "observations/observation_table.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>

namespace korvalen {
namespace {

TEST(ObservationTable, ReadsEveryLayout) {
  struct Case {
    const char* name;
    const char* text;
    size_t rows;
    double i, e, g, value;  // of the last row
    bool sigma;
  } const cases[] = {
      {"plain, spaces", "30 20 10 0.5\n40 30 20 0.25\n", 2, 40, 30, 20, 0.25, false},
      {"plain with sigma, tabs, CRLF", "30\t20\t10\t0.5\t0.01\r\n", 1, 30, 20, 10, 0.5, true},
      {"header any order, commas", "I/F,g,E,i\n0.5,10,20,30\n", 1, 30, 20, 10, 0.5, false},
      {"semicolons, comments, blanks, BOM",
       "\xEF\xBB\xBF# measured\n\nphase;inc;ema;iof;err\n  # again\n10;30;20;0.5;0.1\n", 1, 30, 20,
       10, 0.5, true},
      {"names in other cases and Greek", "Incidence, Emission, Alpha, φ, σ\n30, 20, 10, +.5, 1e-2\n",
       1, 30, 20, 10, 0.5, true},
      {"quoted header, no last newline", "\"i\",\"e\",\"g\",\"value\"\n30,20,10,0.5", 1, 30, 20, 10,
       0.5, false},
      // cos g = cos 60 cos 60 + sin 60 sin 60 cos 90 = 0.25.
      {"azimuth in place of g", "i e psi reflectance\n60 60 90 0.1\n", 1, 60, 60,
       std::acos(0.25) * 180 / 3.141592653589793, 0.1, false},
      {"azimuth 180 adds the angles", "i e azimuth phi\n30 20 180 0.1\n", 1, 30, 20, 50, 0.1, false},
      {"no value column", "i e g\n30 20 10\n", 1, 30, 20, 10, NAN, false},
  };
  for (const Case& c : cases) {
    const ObservationRead r = parseObservations(c.text, "t.csv");
    ASSERT_TRUE(r.table) << c.name << ": " << r.error;
    const ObservationTable& t = *r.table;
    ASSERT_EQ(t.size(), c.rows) << c.name;
    const size_t last = t.size() - 1;
    EXPECT_EQ(t.i[last], c.i) << c.name;
    EXPECT_EQ(t.e[last], c.e) << c.name;
    EXPECT_NEAR(t.g[last], c.g, 1e-9) << c.name;
    EXPECT_EQ(t.hasValue(), !std::isnan(c.value)) << c.name;
    if (t.hasValue()) {
      EXPECT_EQ(t.value[last], c.value) << c.name;
    }
    EXPECT_EQ(t.hasSigma(), c.sigma) << c.name;
  }
}

// Each bad file is refused whole, its message naming the file, the line, the
// column, the text and the rule, and counting the other bad lines.
TEST(ObservationTable, RefusesBadFilesSayingWhereAndWhy) {
  struct Case {
    const char* name;
    const char* text;
    std::vector<const char*> said;
  } const cases[] = {
      {"not a number", "i,e,g,I/F\n30,20,10,0.5\n30,2O,10,0.5\n",
       {"«t.csv»", "строка 3", "столбец «e»", "«2O»", "не число"}},
      {"decimal comma", "i;e;g;I/F\n30;20;10;0,5\n", {"строка 2", "столбцов"}},
      {"NaN", "30 20 10 nan\n", {"строка 1", "столбец «I/F»", "«nan»", "не конечное"}},
      {"infinity", "30 20 10 0.5 inf\n", {"столбец «sigma»", "не конечное"}},
      {"i at 90", "90 20 80 0.5\n", {"столбец «i»", "«90»", "[0, 90)"}},
      {"e beyond 90", "30 90.5 80 0.5\n", {"столбец «e»", "[0, 90]"}},
      {"g negative", "30 20 -1 0.5\n", {"столбец «g»", "[0, 180]"}},
      {"impossible geometry, other bad lines counted",
       "30 20 10 0.5\n30 20 60 0.5\n30 20 5 0.5\n1 1 x 1\n",
       {"строка 2", "такой геометрии нет", "[10, 50]", "Других строк с ошибками: 2."}},
      {"sigma zero", "30 20 10 0.5 0\n", {"столбец «sigma»", "больше нуля"}},
      {"too few columns", "i,e,g,value,sigma\n30,20,10,0.5\n",
       {"строка 2", "столбец «sigma»", "4 из 5"}},
      {"too many columns", "30 20 10 0.5 0.1 7\n", {"строка 1", "3, 4 или 5"}},
      {"one field first, a bad geometry after", "2\n30 20 60\n",
       {"строка 1", "столбец «e»", "Других строк с ошибками: 1."}},
      {"unknown header", "i,e,g,brightness\n30,20,10,0.5\n", {"строка 1", "«brightness»"}},
      {"missing emission", "i,g,value\n30,10,0.5\n", {"нет столбца e"}},
      {"both g and psi", "i,e,g,psi,value\n30,20,10,0,0.5\n", {"и g, и psi"}},
      {"repeated column", "i,e,g,inc\n30,20,10,30\n", {"«inc» повторяет"}},
      {"control characters shown escaped", "i,e,g,value\n30,20,10,0\x01\n", {"«0\\x01»"}},
      {"empty", "# nothing\n\n", {"нет ни одного наблюдения"}},
  };
  for (const Case& c : cases) {
    const ObservationRead r = parseObservations(c.text, "t.csv");
    EXPECT_FALSE(r.table) << c.name;
    for (const char* s : c.said)
      EXPECT_NE(r.error.find(s), std::string::npos) << c.name << ": " << r.error << " lacks " << s;
  }
}

TEST(ObservationTable, ReadsFilesInBlocksAndSaysWhyOneCannotBeOpened) {
  // Rows across the reader's 1 MiB blocks arrive whole, in order.
  const std::string path = ::testing::TempDir() + "observations_blocks.csv";
  {
    std::ofstream out(path);
    out << "i,e,g,I/F\n";
    for (int r = 0; r < 60000; ++r) out << "30.125,20.5," << 10 + (r % 40) * 0.25 << ",0.0" << r << "\n";
  }
  const ObservationRead r = readObservations(path);
  ASSERT_TRUE(r.table) << r.error;
  ASSERT_EQ(r.table->size(), 60000u);
  for (size_t k = 0; k < r.table->size(); k += 997) {
    EXPECT_EQ(r.table->g[k], 10 + static_cast<double>(k % 40) * 0.25);
    EXPECT_EQ(r.table->line[k], static_cast<int32_t>(k) + 2);
  }
  std::remove(path.c_str());
  EXPECT_NE(readObservations(path).error.find("такого файла нет"), std::string::npos);
  EXPECT_NE(readObservations(::testing::TempDir()).error.find("папка"), std::string::npos);
}

}  // namespace
}  // namespace korvalen
