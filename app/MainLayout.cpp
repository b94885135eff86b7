#include "app/MainLayout.h"

#include "app/Version.h"

const char* const kWriteModeItems[4] = {"1 (старый)", "8 (новый)", "8 (калибр. 100%)",
                                        "8 (калибр. 0%)"};
const char* const kMinModeItems[3] = {"В панель задач", "В трей (рядом с часами :-)",
                                      "Становиться невидимым"};
const LinkTarget kLinks[4] = {
    {"Label14", "mailto:device@example.org"},
    {"Label16", "http://www.example.org/dialvox/"},
    {"Label19", "mailto:developer1@example.org"},
    {"Label20", "mailto:developer2@example.org"},
};

namespace {

using K = ControlKind;

// Channel rows are 26 pixels apart, the first list at top 14.
#define CHANNEL_ROW(n)                                                                         \
  {K::Label, "lblRow" #n, ChannelRowLabelId(n), "Счетчик " #n,                                 \
   12, 18 + 26 * (n - 1), 60, 13, pgCounters},                                                  \
      {K::ComboBox, "cbxCounter" #n, CounterListId(n), "",                                     \
       74, 14 + 26 * (n - 1), 145, 21, pgCounters},                                             \
      {K::ValueLabel, "lblCounter" #n, ValueLabelId(n), "n/a",                                 \
       226, 18 + 26 * (n - 1), 52, 13, pgCounters}

const ControlSpec kLayout[] = {
    {K::PageControl, "PageControl", idPageControl, "", 8, 4, 289, 261, -1},
    {K::TabSheet, "TabSheet1", 0, "Счетчики", 0, 0, 0, 0, -1},
    {K::TabSheet, "TabSheet2", 0, "Настройки", 0, 0, 0, 0, -1},
    {K::TabSheet, "TabSheet3", 0, "О программе", 0, 0, 0, 0, -1},

    CHANNEL_ROW(1), CHANNEL_ROW(2), CHANNEL_ROW(3), CHANNEL_ROW(4),
    CHANNEL_ROW(5), CHANNEL_ROW(6), CHANNEL_ROW(7), CHANNEL_ROW(8),

    {K::Label, "Label1", idPortLabel, "&COM порт", 8, 12, 56, 13, pgSettings},
    {K::ComboBox, "cbxPortList", idPortList, "", 66, 8, 53, 21, pgSettings},
    {K::Label, "Label2", idWriteModeLabel, "Режим", 128, 12, 40, 13, pgSettings},
    {K::ComboBox, "cbxWriteMode", idWriteMode, "", 168, 8, 105, 21, pgSettings},
    {K::CheckBox, "cbxMinAtRun", idMinAtRun, "Сворачивать при старте", 8, 34, 200, 17, pgSettings},
    {K::CheckBox, "cbxRemSettings", idRemSettings, "Запоминать настройки", 8, 51, 200, 17, pgSettings},
    {K::CheckBox, "cbxAllowMulti", idAllowMulti, "", 8, 68, 15, 17, pgSettings},
    {K::WrapLabel, "Label22", idAllowMultiLabel, "Разрешить несколько копий", 26, 70, 110, 26, pgSettings},
    {K::RadioGroup, "gbxMinMode", idMinMode, "Режим сворачивания", 8, 96, 265, 70, pgSettings},
    {K::WrapLabel, "lblMinNote", idMinNote, "Если программа стала невидимой, запустите ее еще раз и она появится",
     16, 168, 221, 40, pgSettings},
    {K::Label, "Label4", idIntervalLabel, "Интервал обновления", 8, 214, 132, 13, pgSettings},
    {K::SpinEdit, "IntervalSpinEdit", idInterval, "", 142, 210, 56, 21, pgSettings},
    {K::Label, "Label6", idIntervalUnit, "ms", 203, 214, 20, 13, pgSettings},

    {K::Bevel, "Bevel1", idAboutFrame, "", 10, 9, 265, 215, pgAbout},
    {K::Label, "Label12", idDeviceAuthorLabel, "Автор идеи и разработчик устройства", 20, 20, 240, 13, pgAbout},
    {K::LinkLabel, "Label14", idDeviceAuthorLink, "Quirvel", 20, 38, 240, 13, pgAbout},
    {K::Label, "Label10", idHomePageLabel, "Домашняя страничка", 20, 66, 240, 13, pgAbout},
    {K::LinkLabel, "Label16", idHomePageLink, "http://www.example.org/dialvox/", 20, 84, 240, 13, pgAbout},
    {K::Label, "Label18", idDevelopersLabel, "Разработка данной утилиты", 20, 112, 240, 13, pgAbout},
    {K::LinkLabel, "Label19", idDeveloper1Link, "Quirvel, разработчик 1", 20, 130, 240, 13, pgAbout},
    {K::LinkLabel, "Label20", idDeveloper2Link, "Quirvel, разработчик 2", 20, 148, 240, 13, pgAbout},
    {K::Label, "Label21", idVersion, "Версия: " DVX_VERSION_TEXT, 20, 196, 240, 13, pgAbout},

    {K::Label, "Label8", idStatusLabel, "Статус", 8, 274, 40, 13, -1},
    {K::Edit, "txtStatusLine", idStatusLine, "", 52, 270, 245, 21, -1},
};

#undef CHANNEL_ROW

}  // namespace

std::span<const ControlSpec> MainLayout() { return kLayout; }
