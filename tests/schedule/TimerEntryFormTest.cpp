// The entry editor's rules: which fields each kind enables, the order of OK's checks, the
// date and time rules, and the year of a one-shot entry.
#include <gtest/gtest.h>

#include "schedule/LocalClock.h"
#include "schedule/TimerEntryForm.h"
#include "support/Fakes.h"

namespace tolvane {
namespace {

using test::LocalSeconds;

class TimerEntryFormTest : public ::testing::Test {
 protected:
  // A form of kind `kind` (index) with the four fields and the list "web" chosen.
  TimerEntryForm Form(int kind, int month, int day, int hour, int minute) {
    TimerEntryForm form = NewEntryForm({"web", "log"});
    form.kind = kind;
    ApplyKindRule(form);
    form.text = {std::to_string(month), std::to_string(day), std::to_string(hour),
                 std::to_string(minute)};
    form.list = 0;
    return form;
  }
  // The code OK builds, or "refused" after the date and time message.
  std::string Code(const TimerEntryForm& form, int64_t now) {
    prompts.shown.clear();
    EntryConfirm result = ConfirmEntry(form, prompts, now);
    if (result.outcome == EntryConfirm::Outcome::Saved) {
      EXPECT_TRUE(prompts.shown.empty());
      return result.entry.code;
    }
    EXPECT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown.at(0).text, "日時の設定が正しくありません");
    EXPECT_EQ(prompts.shown.at(0).caption, "エラー");
    EXPECT_EQ(prompts.shown.at(0).icon, Icon::Warning);
    return "refused";
  }

  test::ScopedTimeZone tz{"JST-9"};
  test::RecordingPrompts prompts;
  int64_t now = LocalSeconds(2026, 3, 15, 12, 0);  // a Sunday noon
};

TEST_F(TimerEntryFormTest, KindRuleEnablesFieldsAndResetsTheWeekday) {
  struct Row {
    int kind;
    std::array<bool, 4> fields;
    bool weekday;
  };
  const Row table[] = {{0, {true, true, true, true}, false},
                       {1, {false, false, true, true}, false},
                       {2, {false, false, true, true}, true},
                       {3, {false, true, true, true}, false},
                       {4, {false, false, false, true}, false}};
  for (const Row& row : table) {
    TimerEntryForm form = NewEntryForm({});
    form.text = {"a", "b", "c", "d"};
    form.weekday = 4;
    form.kind = row.kind;
    ApplyKindRule(form);
    EXPECT_EQ(form.enabled, row.fields) << row.kind;
    EXPECT_EQ(form.weekdayEnabled, row.weekday) << row.kind;
    EXPECT_EQ(form.weekday, row.kind == 2 ? 0 : 4) << row.kind;
    EXPECT_EQ(form.text, (std::array<std::string, 4>{"a", "b", "c", "d"})) << row.kind;
  }
}

TEST_F(TimerEntryFormTest, NewFormIsAOneShotWithZerosAndNoList) {
  TimerEntryForm form = NewEntryForm({"web"});
  EXPECT_EQ(form.kind, 0);
  EXPECT_EQ(form.text, (std::array<std::string, 4>{"0", "0", "0", "0"}));
  EXPECT_EQ(form.list, -1);
  EXPECT_EQ(form.weekday, -1);
  EXPECT_FALSE(form.shutdown);
  form.list = 0;
  EXPECT_EQ(Code(form, now), "refused");  // day 0
}

TEST_F(TimerEntryFormTest, OkChecksIntegersThenKindThenListThenDate) {
  TimerEntryForm form = NewEntryForm({"web"});
  form.kind = -1;
  form.text = {"1", "", "x", "y"};
  EntryConfirm result = ConfirmEntry(form, prompts, now);
  EXPECT_EQ(result.outcome, EntryConfirm::Outcome::NotAnInteger);
  EXPECT_EQ(result.field, EntryField::Day);  // the first field holding no integer
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].text, "Please enter an integer.");
  EXPECT_EQ(prompts.shown[0].caption, "トルヴェイン");
  EXPECT_EQ(prompts.shown[0].icon, Icon::Warning);

  form.text = {"1", "1", "0", "0"};
  EXPECT_EQ(ConfirmEntry(form, prompts, now).outcome, EntryConfirm::Outcome::Refused);
  EXPECT_EQ(prompts.shown.back().text, "回数が選択されていません");
  form.kind = 0;
  EXPECT_EQ(ConfirmEntry(form, prompts, now).outcome, EntryConfirm::Outcome::Refused);
  EXPECT_EQ(prompts.shown.back().text, "アップロードするリストが選択されていません");
  EXPECT_EQ(prompts.shown.back().caption, "エラー");
  EXPECT_EQ(prompts.shown.size(), 3u);
}

TEST_F(TimerEntryFormTest, DisabledFieldsAreReadToo) {
  TimerEntryForm form = Form(4, 0, 0, 0, 5);  // hourly: only the minute is enabled
  form.text[0] = "ab";
  EntryConfirm result = ConfirmEntry(form, prompts, now);
  EXPECT_EQ(result.outcome, EntryConfirm::Outcome::NotAnInteger);
  EXPECT_EQ(result.field, EntryField::Month);
  form.text[0] = "99999999999";  // out of range counts as no integer, enabled or not
  EXPECT_EQ(ConfirmEntry(form, prompts, now).outcome, EntryConfirm::Outcome::NotAnInteger);
  form.text[0] = "12月";
  EXPECT_EQ(Code(form, now), "5005");
}

TEST_F(TimerEntryFormTest, OneShotDateAndTimeRules) {
  EXPECT_EQ(Code(Form(0, 1, 31, 23, 59), now), "10202701312359");  // passed: next year
  EXPECT_EQ(Code(Form(0, 12, 1, 0, 0), now), "10202612010000");
  for (auto [m, d, h, mi] : {std::array{0, 1, 0, 0},
                             {13, 1, 0, 0},
                             {5, 0, 0, 0},
                             {5, 32, 0, 0},
                             {4, 31, 0, 0},
                             {6, 31, 0, 0},
                             {9, 31, 0, 0},
                             {11, 31, 0, 0},
                             {2, 30, 0, 0},
                             {5, 1, 24, 0},
                             {5, 1, -1, 0},
                             {5, 1, 0, 60},
                             {5, 1, 0, -1},
                             {-3, 1, 0, 0}}) {
    EXPECT_EQ(Code(Form(0, m, d, h, mi), now), "refused") << m << "/" << d << " " << h << ":" << mi;
  }
  EXPECT_EQ(Code(Form(0, 4, 30, 0, 0), now), "10202604300000");
  EXPECT_EQ(Code(Form(0, 12, 31, 23, 59), now), "10202612312359");
}

TEST_F(TimerEntryFormTest, RepeatingKindsLookOnlyAtTheirFields) {
  EXPECT_EQ(Code(Form(1, 99, -4, 23, 59), now), "202359");
  EXPECT_EQ(Code(Form(1, 0, 0, 24, 0), now), "refused");
  EXPECT_EQ(Code(Form(1, 0, 0, 0, 60), now), "refused");
  TimerEntryForm weekly = Form(2, 0, 0, 7, 5);
  weekly.weekday = 6;
  EXPECT_EQ(Code(weekly, now), "3060705");
  EXPECT_EQ(Code(Form(2, 0, 0, 7, -1), now), "refused");
  EXPECT_EQ(Code(Form(3, 13, 31, 0, 0), now), "40310000");  // day 31, month ignored
  EXPECT_EQ(Code(Form(3, 0, 0, 0, 0), now), "refused");
  EXPECT_EQ(Code(Form(3, 0, 32, 0, 0), now), "refused");
  EXPECT_EQ(Code(Form(4, 0, 0, 99, 45), now), "5045");  // the hour is not looked at
  EXPECT_EQ(Code(Form(4, 0, 0, 0, 59), now), "5059");
  EXPECT_EQ(Code(Form(4, 0, 0, 0, 60), now), "refused");
}

TEST_F(TimerEntryFormTest, LeapDayIsAcceptedOnlyWhenItsNextOccurrenceExists) {
  const TimerEntryForm leapDay = Form(0, 2, 29, 9, 0);
  EXPECT_EQ(Code(leapDay, LocalSeconds(2027, 3, 1)), "10202802290900");
  EXPECT_EQ(Code(leapDay, LocalSeconds(2026, 3, 1)), "refused");  // next is 2027
  EXPECT_EQ(Code(leapDay, LocalSeconds(2028, 2, 29, 8, 59)), "10202802290900");
  EXPECT_EQ(Code(leapDay, LocalSeconds(2028, 2, 29, 9, 1)), "refused");  // next is 2029
  EXPECT_EQ(Code(leapDay, LocalSeconds(2099, 3, 1)), "refused");         // 2100: no leap year
  EXPECT_EQ(Code(leapDay, LocalSeconds(2399, 3, 1)), "10240002290900");  // 2400 is one
  EXPECT_EQ(Code(Form(0, 2, 28, 9, 0), LocalSeconds(2026, 3, 1)), "10202702280900");
}

TEST_F(TimerEntryFormTest, YearFollowsTheNextOccurrenceOfTheMinute) {
  const int64_t t = LocalSeconds(2026, 3, 15, 12, 30, 59);
  EXPECT_EQ(ComputeYear(3, 15, 12, 30, t), 2026);  // the current minute is this year's
  EXPECT_EQ(ComputeYear(3, 15, 12, 29, t), 2027);  // one minute ago
  EXPECT_EQ(ComputeYear(3, 15, 12, 31, t), 2026);
  EXPECT_EQ(ComputeYear(1, 1, 0, 0, LocalSeconds(2026, 12, 31, 23, 59, 30)), 2027);
  EXPECT_EQ(ComputeYear(12, 31, 23, 59, LocalSeconds(2026, 12, 31, 23, 59, 30)), 2026);
  EXPECT_TRUE(IsLeapYear(2000));
  EXPECT_TRUE(IsLeapYear(2028));
  EXPECT_FALSE(IsLeapYear(1900));
  EXPECT_FALSE(IsLeapYear(2027));
}

TEST_F(TimerEntryFormTest, SavedEntryCarriesTheShutdownFlagTheListAndItsRow) {
  TimerEntryForm weekly = Form(2, 0, 0, 8, 5);
  weekly.weekday = 3;
  std::vector<TimerEntryForm> forms = {Form(0, 3, 15, 9, 30), Form(1, 0, 0, 8, 5), weekly,
                                       Form(3, 0, 31, 23, 0), Form(4, 0, 0, 0, 45)};
  for (TimerEntryForm& form : forms) {
    for (bool shutdown : {false, true}) {
      form.shutdown = shutdown;
      form.list = 1;
      EntryConfirm result = ConfirmEntry(form, prompts, now);
      ASSERT_EQ(result.outcome, EntryConfirm::Outcome::Saved);
      EXPECT_EQ(result.entry.listName, "log");
      EXPECT_EQ(result.entry.code[1], shutdown ? '1' : '0');
    }
  }
  weekly.shutdown = true;
  weekly.list = 1;
  EXPECT_EQ(ConfirmEntry(weekly, prompts, now).rowText, "毎週水曜日08時05分-OFF-log");
}

TEST_F(TimerEntryFormTest, EditShowsTheStoredFieldsAndFindsTheList) {
  struct Case {
    const char* code;
    int kind;
    std::array<std::string, 4> text;
    int weekday;
    bool shutdown;
  };
  const Case cases[] = {
      {"10202603150930", 0, {"3", "15", "9", "30"}, -1, false},
      {"210805", 1, {"0", "0", "8", "5"}, -1, true},
      {"3060700", 2, {"0", "0", "7", "0"}, 6, false},
      {"3x0700", 2, {"0", "0", "7", "0"}, 0, false},  // damaged weekday: stays "日"
      {"41312359", 3, {"0", "31", "23", "59"}, -1, true},
      {"5045", 4, {"0", "0", "0", "45"}, -1, false},
  };
  for (const Case& c : cases) {
    TimerEntryForm form = NewEntryForm({"Web", "web", "LOG"});
    LoadEntryForEdit(form, {c.code, "web"});
    EXPECT_EQ(form.kind, c.kind) << c.code;
    EXPECT_EQ(form.text, c.text) << c.code;
    EXPECT_EQ(form.weekday, c.weekday) << c.code;
    EXPECT_EQ(form.shutdown, c.shutdown) << c.code;
    EXPECT_EQ(form.list, 1) << c.code;  // the exact name, not the first one ignoring case
  }
  TimerEntryForm form = NewEntryForm({"web", "LOG"});
  LoadEntryForEdit(form, {"5045", "log"});
  EXPECT_EQ(form.list, 1);
  LoadEntryForEdit(form, {"5045", "gone"});
  EXPECT_EQ(form.list, -1);
  EXPECT_EQ(ConfirmEntry(form, prompts, now).outcome, EntryConfirm::Outcome::Refused);
  EXPECT_EQ(prompts.shown.back().text, "アップロードするリストが選択されていません");
}

TEST_F(TimerEntryFormTest, EditedOneShotIsDatedAgain) {
  TimerEntryForm form = NewEntryForm({"web"});
  LoadEntryForEdit(form, {"11202503150930", "web"});  // last year's: the year is not kept
  EXPECT_EQ(ConfirmEntry(form, prompts, now).entry.code, "11202703150930");
}

}  // namespace
}  // namespace tolvane
