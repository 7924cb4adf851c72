#include <gtest/gtest.h>

#include "platform/SystemError.h"

#include <limits>

#include "tests/fakes/FakeWorld.h"
#include "windows/AboutBounce.h"
#include "windows/AboutWindow.h"
#include "windows/MakerInfo.h"
#include "resources/ResourceIds.h"

using namespace kestrave;

namespace {

struct Row {
    int tick;
    float top;
    int speed;
    int ticks;
    int beep;
};

// From bounce_reference.py: top, Speed and Ticks after each tick, and whether it beeped.
const Row kTable[] = {
    {1, 362.0f, 31, 26, 0},
    {2, 365.1000061035156f, 42, 27, 0},
    {3, 369.3000183105469f, 53, 28, 0},
    {4, 374.6000061035156f, 64, 29, 0},
    {5, 381.0f, 75, 30, 0},
    {6, 388.5f, 86, 31, 0},
    {7, 397.1000061035156f, 97, 32, 0},
    {8, 406.8000183105469f, 108, 33, 0},
    {9, 417.6000061035156f, 119, 34, 0},
    {10, 429.5f, 130, 35, 0},
    {11, 442.5f, 141, 36, 0},
    {12, 456.6000061035156f, 152, 37, 0},
    {13, 471.8000183105469f, 163, 38, 0},
    {14, 488.1000061035156f, 174, 39, 0},
    {15, 505.5f, 185, 40, 0},
    {16, 524.0f, 196, 41, 0},
    {17, 543.5999755859375f, 207, 42, 0},
    {18, 564.2999877929688f, 218, 43, 0},
    {19, 586.0999755859375f, 229, 44, 0},
    {20, 609.0f, 240, 45, 0},
    {21, 633.0f, 251, 46, 0},
    {22, 658.0999755859375f, 262, 47, 0},
    {23, 684.2999877929688f, 273, 48, 0},
    {24, 711.5999755859375f, 284, 49, 0},
    {25, 740.0f, 295, 50, 0},
    {26, 769.5f, 306, 51, 0},
    {27, 800.0999755859375f, 317, 52, 0},
    {28, 831.7999877929688f, 328, 53, 0},
    {29, 864.5999755859375f, 339, 54, 0},
    {30, 898.5f, 350, 55, 0},
    {31, 933.5f, 361, 56, 0},
    {32, 969.5999755859375f, 372, 57, 0},
    {33, 1006.7999877929688f, 383, 58, 0},
    {34, 1045.0999755859375f, -353, -1, 1},
    {35, 1009.7999877929688f, -342, 0, 0},
    {36, 975.5999755859375f, -331, 1, 0},
    {37, 942.5f, -320, 2, 0},
    {38, 910.5f, -309, 3, 0},
    {39, 879.5999755859375f, -298, 4, 0},
    {40, 849.7999877929688f, -287, 5, 0},
    {41, 821.0999755859375f, -276, 6, 0},
    {42, 793.5f, -265, 7, 0},
    {43, 767.0f, -254, 8, 0},
    {44, 741.5999755859375f, -243, 9, 0},
    {45, 717.2999877929688f, -232, 10, 0},
    {46, 694.0999755859375f, -221, 11, 0},
    {47, 672.0f, -210, 12, 0},
    {48, 651.0f, -199, 13, 0},
    {49, 631.0999755859375f, -188, 14, 0},
    {50, 612.2999877929688f, -177, 15, 0},
    {51, 594.5999755859375f, -166, 16, 0},
    {52, 578.0f, -155, 17, 0},
    {53, 562.5f, -144, 18, 0},
    {54, 548.0999755859375f, -133, 19, 0},
    {55, 534.7999877929688f, -122, 20, 0},
    {56, 522.5999755859375f, -111, 21, 0},
    {57, 511.4999694824219f, -100, 22, 0},
    {58, 501.4999694824219f, -89, 23, 0},
    {59, 492.5999755859375f, -78, 24, 0},
    {60, 484.79998779296875f, -67, 25, 0},
};

constexpr double kHeight = 960;
constexpr double kClient = 1980;

TEST(Bounce, FirstSixtyTicksAfterAClickMatchTheTable) {
    BounceFields f;
    f.ticks = 25; // the click
    float top = 360.0f;
    for (const Row& row : kTable) {
        const BounceTick t = bounceStep(f, top, kHeight, kClient);
        EXPECT_EQ(top, row.top) << "tick " << row.tick;
        EXPECT_EQ(f.speed, row.speed) << "tick " << row.tick;
        EXPECT_EQ(f.ticks, row.ticks) << "tick " << row.tick;
        EXPECT_EQ(t.beep, row.beep != 0) << "tick " << row.tick;
        EXPECT_FALSE(t.stop);
    }
}

TEST(Bounce, BeepsArePausedAndTheEndComesAtTheNextLowTick) {
    BounceFields f;
    f.ticks = 25;
    float top = 360.0f;
    int lastBeep = -1000;
    int minGap = 1 << 30;
    int beeps = 0;
    for (int n = 1; n <= 500; ++n) {
        const BounceTick t = bounceStep(f, top, kHeight, kClient);
        ASSERT_FALSE(t.stop);
        if (t.beep) {
            if (beeps > 0) {
                minGap = std::min(minGap, n - lastBeep);
            }
            lastBeep = n;
            ++beeps;
        }
    }
    EXPECT_GE(beeps, 3);
    EXPECT_GE(minGap, 27);
    // pauseTimer fires: the next tick that finds the picture low stops, beeps, and still moves.
    f.ticks = 500;
    for (int n = 0; n < 1000; ++n) {
        const float before = top;
        const BounceTick t = bounceStep(f, top, kHeight, kClient);
        if (t.stop) {
            EXPECT_TRUE(t.beep);
            EXPECT_GT(before, 1000.0f);
            EXPECT_NE(top, before); // one more move on the last tick
            EXPECT_EQ(f.ticks, -1);
            return;
        }
        EXPECT_FALSE(t.beep);
    }
    FAIL() << "the animation never ended";
}

TEST(Bounce, SpeedStaysInSixteenBitsOverTenThousandTicks) {
    BounceFields f;
    f.ticks = 25;
    float top = 360.0f;
    int lowest = 0;
    int highest = 0;
    for (int n = 0; n < 10000; ++n) {
        bounceStep(f, top, kHeight, kClient);
        lowest = std::min<int>(lowest, f.speed);
        highest = std::max<int>(highest, f.speed);
        ASSERT_LT(top, 4000.0f);
        ASSERT_GT(top, -4000.0f);
    }
    EXPECT_GT(lowest, -1000);
    EXPECT_LT(highest, 1000);
}

struct AboutTest : ::testing::Test {
    test::FakeWorld w;
    struct Main : ui::Form {
        explicit Main(ui::IWindowSystem& ws) : Form(ws, L"MainWindow") {}
        void design() override { setIcon(IDI_KESTRAVE); }
    } main{w.ui};
    AboutWindow about{w.platform, main};
    void open() {
        w.ui.show(main);
        w.ui.showModal(about);
    }
};

TEST_F(AboutTest, LoadLaysOutTheLinkRowWhateverTheWidths) {
    w.ui.whileModal = [&](ui::Form&) {
        EXPECT_EQ(about.titleLabel.caption(), L"Kestrave 1.0.0");
        EXPECT_EQ(about.icon(), IDI_KESTRAVE);
        EXPECT_EQ(about.backColor(), ui::Color::rgb(0xF0F0F0));
        EXPECT_EQ(about.freewareLabel.left(), 1440);
        const ui::Label* row[] = {&about.freewareLabel, &about.siteLink, &about.separatorLabel,
                                  &about.donateLink};
        for (int i = 1; i < 4; ++i) {
            EXPECT_EQ(row[i]->left(), row[i - 1]->left() + row[i - 1]->width() + 80);
            EXPECT_EQ(row[i]->top(), 1200);
        }
        EXPECT_TRUE(about.siteLink.font().underline);
        EXPECT_EQ(about.donateLink.foreColor(), ui::Color::system(13));
        EXPECT_EQ(about.donateLink.toolTip(), L"GoTo Donate-Page");
        EXPECT_FALSE(about.bounceTimer.enabled());
        EXPECT_FALSE(about.pauseTimer.enabled());
    };
    w.ui.version = {L"Kestrave", 1, 0, 0};
    open();
    // A longer site name moves the later labels along.
    w.ui.version = {L"Kestrave", 12, 3, 45};
    w.ui.whileModal = [&](ui::Form&) {
        EXPECT_EQ(about.titleLabel.caption(), L"Kestrave 12.3.45");
    };
    open();
}

TEST_F(AboutTest, LinksOpenTheirPagesAndShowTheHandOverThemAlone) {
    w.ui.whileModal = [&](ui::Form&) {
        // Every label clicked and hovered twice: only the two links answer.
        for (ui::Label* label : {&about.titleLabel, &about.noticeLabel, &about.freewareLabel,
                                 &about.siteLink, &about.separatorLabel, &about.donateLink}) {
            about.fire(label->onClick);
            about.fire(label->onMouseMove);
            about.fire(label->onMouseMove);
        }
    };
    open();
    open();
    EXPECT_EQ(w.shell.opened.size(), 4u);
    EXPECT_EQ(w.shell.opened[0], L"https://www.example.com/kestrave/");
    EXPECT_EQ(w.shell.opened[1], L"https://www.example.com/kestrave/donate");
    EXPECT_EQ(w.ui.handCursorShown, 8) << "twice over each link, for each of the two loads";
    EXPECT_TRUE(w.ui.boxes.empty());
}

TEST_F(AboutTest, AnAddressTheShellCannotOpenShowsTheMessage) {
    w.ui.whileModal = [&](ui::Form&) { about.openDonatePage(); };
    w.shell.result = 0;
    open();
    EXPECT_TRUE(w.ui.boxes.empty());
    w.shell.result = 1155; // no application is associated
    open();
    ASSERT_EQ(w.ui.boxes.size(), 1u);
    EXPECT_EQ(w.ui.boxes[0].text, L"Invoking browser error !");
    EXPECT_EQ(w.ui.boxes[0].title, L"Error:");
    EXPECT_EQ(w.ui.boxes[0].style, 16);
    // The desktop's user out of reach: no browser with administrator rights, the address to
    // copy instead.
    w.shell.result = err::kNoDesktopUser;
    open();
    ASSERT_EQ(w.ui.boxes.size(), 2u);
    EXPECT_NE(w.ui.boxes[1].text.find(L"\n\nhttps://www.example.com/kestrave/donate"),
              std::wstring::npos)
        << std::string(w.ui.boxes[1].text.begin(), w.ui.boxes[1].text.end());
    EXPECT_EQ(w.ui.boxes[1].style, 64);
}

TEST_F(AboutTest, ClicksTimersAndReopening) {
    w.ui.whileModal = [&](ui::Form&) {
        about.startBounce();
        EXPECT_TRUE(about.bounceTimer.enabled());
        EXPECT_TRUE(about.pauseTimer.enabled());
        int beeps = 0;
        int n = 0;
        while (beeps == 0) {
            about.bounceTimer.tick();
            beeps = w.ui.beeps;
            ++n;
        }
        EXPECT_EQ(n, 34); // first tick that starts with the top above 1000
        EXPECT_EQ(about.bounce().ticks, -1);
        about.startBounce(); // ignored while Ticks is -1
        EXPECT_EQ(about.bounce().ticks, -1);
        about.bounceTimer.tick();
        about.startBounce(); // during the pause: back to 25
        EXPECT_EQ(about.bounce().ticks, 25);
        about.pauseTimer.tick();
        EXPECT_EQ(about.bounce().ticks, 500);
        EXPECT_FALSE(about.pauseTimer.enabled());
        for (int i = 0; i < 500 && about.bounceTimer.enabled(); ++i) {
            about.bounceTimer.tick();
        }
        EXPECT_FALSE(about.bounceTimer.enabled());
        about.startBounce(); // finished: nothing
        EXPECT_FALSE(about.bounceTimer.enabled());
    };
    open();
    EXPECT_GE(w.ui.beeps, 2);
    // Closed mid-flight and opened again: at rest at its start.
    w.ui.whileModal = [&](ui::Form&) {
        EXPECT_EQ(about.printerPicture.top(), 360);
        EXPECT_EQ(about.pictureTop(), 360.0f);
        EXPECT_EQ(about.bounce().ticks, 0);
        EXPECT_EQ(about.bounce().speed, 20);
        EXPECT_FALSE(about.bounceTimer.enabled());
        about.startBounce();
        about.bounceTimer.tick();
        EXPECT_GT(about.printerPicture.top(), 360);
    };
    open();
}

} // namespace
