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
const QRect At2On1280{0, 0, 640, 512};
const QRect At2On1024{0, 0, 512, 384};
const QRect At15On1024{0, 0, 683, 512};
constexpr QSize BigSkin{550, 340};
constexpr QSize SmallSkin{316, 340};
constexpr QSize Setup{356, 381};

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
        ReachCase{"mostly_on_comes_wholly_on", {{700, 300}, Main}, {Screen1024}, {554, 300}},
        ReachCase{"touching_the_edges_stays", {{554, 398}, Main}, {Screen1024}, {554, 398}},
        // The first places of the big skin (550 x 340) and of the setup
        // window (356 x 381) on screens at scale 2 and 1.5, in logical pixels.
        ReachCase{"big_skin_1280x1024_at_2", {{141, 108}, BigSkin}, {At2On1280}, {90, 108}},
        ReachCase{"setup_1280x1024_at_2", {{398, 288}, Setup}, {At2On1280}, {284, 131}},
        ReachCase{"setup_1024x768_at_2", {{398, 288}, Setup}, {At2On1024}, {156, 3}},
        ReachCase{"small_skin_1024x768_at_2", {{141, 108}, SmallSkin}, {At2On1024}, {141, 44}},
        ReachCase{"big_skin_wider_than_1024x768_at_2", {{141, 108}, BigSkin}, {At2On1024}, {0, 44}},
        ReachCase{"big_skin_1024x768_at_1_5", {{141, 108}, BigSkin}, {At15On1024}, {133, 108}},
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
