#include "form1_fixture.h"

namespace {
[[maybe_unused]] ::testing::Environment* const qtEnvironment =
    ::testing::AddGlobalTestEnvironment(new korvalen::QtEnvironment);
}
