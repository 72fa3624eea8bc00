// Which place a restored window gets on the screens there are.

#include "settings/windowplacementgeometry.h"

#include <gtest/gtest.h>

namespace vantor {
namespace {

const QRect Screen1024{0, 0, 1024, 768};
const QRect RightScreen{1024, 0, 1280, 1024};
const QRect SecondScreen{1024, 0, 1024, 768};
const QRect LeftScreen{-1280, 0, 1280, 1024};
constexpr QSize Main{470, 370};

struct ReachCase {
  const char *name;
  QRect frame;
  QList<QRect> screens;
  QPoint expected;
};

class Reachable : public ::testing::TestWithParam<ReachCase> {};

TEST_P(Reachable, KeepsTheWindowWithinReach) {
  EXPECT_EQ(reachablePosition(GetParam().frame, GetParam().screens), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Reachable,
    ::testing::Values(
        ReachCase{"inside_stays", {{100, 100}, Main}, {Screen1024}, {100, 100}},
        ReachCase{"far_beyond_comes_to_the_corner", {{3000, 2000}, Main}, {Screen1024}, {554, 398}},
        ReachCase{"mostly_on_stays", {{700, 300}, Main}, {Screen1024}, {700, 300}},
        ReachCase{"mostly_off_to_the_right_comes_in", {{800, 100}, Main}, {Screen1024}, {554, 100}},
        ReachCase{"top_edge_above_comes_down", {{100, -20}, Main}, {Screen1024}, {100, 0}},
        ReachCase{"bigger_than_the_screen_shows_its_top_left",
                  {{-50, -40}, QSize(1100, 900)},
                  {Screen1024},
                  {0, 0}},
        ReachCase{"on_the_second_screen_stays",
                  {{1500, 500}, Main},
                  {Screen1024, RightScreen},
                  {1500, 500}},
        ReachCase{"beyond_the_second_screen_goes_onto_it",
                  {{3000, 200}, Main},
                  {Screen1024, RightScreen},
                  {1834, 200}},
        ReachCase{"across_two_screens_goes_to_the_one_with_more",
                  {{800, 500}, Main},
                  {Screen1024, SecondScreen},
                  {1024, 398}},
        ReachCase{"a_screen_left_of_the_origin",
                  {{-2000, 100}, Main},
                  {Screen1024, LeftScreen},
                  {-1280, 100}},
        ReachCase{"no_screens_leaves_it", {{3000, 2000}, Main}, {}, {3000, 2000}}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace vantor
