// The lookup pipeline of the main window: Go, the reply-handler skeleton shared by all nine
// replies, the player search and the fan-out of requests after the general statistics.
#include "app/main_window.h"
#include "app/platform_hooks.h"
#include "app/progress_window.h"
#include "lookup/lookup_rules.h"
#include "service/httpget.h"
#include "service/text_codec.h"
#include "settings/settings_store.h"
#include "skin/gauge.h"
#include "stats/maps_reader.h"
#include "stats/statistics_pages.h"
#include "stats/vocabulary.h"
#include "tables/report_list.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTreeWidget>

void TForm3::Ed_EingabeClick() {
    const QString text = m_username->currentText();

    if (text == Lookup::EasterNick) {
        const bool show = m_easter->isHidden();
        m_easter->setVisible(show);
        for (QGroupBox* group : m_overviewGroups)
            group->setVisible(!show);
        return;
    }
    if (text == Lookup::MemoCode) {
        setRawLogVisible(m_memo->isHidden());
        return;
    }

    m_load->showOverallGauge();
    if (text.isEmpty()) {
        PlatformHooks::showMessage(this, QMessageBox::Critical, QStringLiteral("Error"),
                                   QStringLiteral("Invalid Nickname/PID"));
    } else {
        ResetPersonalBoard();
        setHistory(Lookup::UpdateHistory(m_history, text));
        m_username->setEditText(text);
        m_username->lineEdit()->selectAll();

        QList<QByteArray> entries;
        for (const QString& entry : m_history)
            entries.append(ToWin1252(entry));
        if (const SettingsWriteResult written = WriteFavorites(m_settingsPath, entries); !written.ok()) {
            PlatformHooks::showMessage(this, QMessageBox::Critical, QStringLiteral("Error"), written.errorText);
            return;
        }

        m_load->setOverallProgress(0);
        m_load->showCentred();
        // Flip to the Data page and back, so that its tables are laid out before they are filled.
        const int page = m_tabs->currentIndex();
        m_tabs->setCurrentIndex(1);
        m_tabs->setCurrentIndex(page);
        ResetRowCaptions();

        const QByteArray input = ToWin1252(text);
        if (Lookup::IsPid(text)) {
            CurrentPid = input;
            startRequest(ReplyKind::Stats, Requests::GeneralStats(m_statsServer, CurrentPid));
        } else {
            startRequest(ReplyKind::PID, Requests::PlayerSearch(m_statsServer, input));
        }
        m_load->PB_fortschritt()->setValue(0);
        m_load->setStatus(QStringLiteral("Receiving Data..."), TLoad::Working);
    }
    for (const auto& reset : {ResetRibbonDescription, ResetMedalDescription})
        if (reset)
            reset();
    m_username->lineEdit()->selectAll();
}

void TForm3::startRequest(ReplyKind kind, const QByteArray& url) {
    THTTPGet* f = fetcher(kind);
    // A fetcher still busy with an earlier lookup ignores the start.
    if (f->isBusy())
        return;
    f->setURL(url);
    f->FetchString();
}

void TForm3::handleProgress(ReplyKind kind, qint32 totalSize, qint32 readed) {
    m_load->setStatus(QString::fromLatin1(replyKindInfo(kind).progressText), TLoad::Working);
    m_load->PB_fortschritt()->setMaximum(totalSize);
    m_load->PB_fortschritt()->setValue(readed);
}

void TForm3::HTTPGetStringError() {
    m_load->setStatus(QStringLiteral("Connection Error"), TLoad::Failure);
}

void TForm3::handleReply(ReplyKind kind, const QByteArray& body) {
    using Reader = bool (TForm3::*)(const ReplyTokens&);
    // One handler per reply kind, in the order of ReplyKind.
    static constexpr std::array<Reader, ReplyKindCount> readers = {
        &TForm3::HTTPGetStringPIDDoneString,    &TForm3::HTTPGetStringDoneString,
        &TForm3::HTTPGetStringRankDoneString,   &TForm3::HTTPGetStringMapsDoneString,
        &TForm3::HTTPGetStringAwardsDoneString, &TForm3::HTTPGetStringUnlocksDoneString,
        &TForm3::HTTPGetStringTopTenDoneString, &TForm3::HTTPGetStringpaDoneString,
        &TForm3::HTTPGetStringpapidDoneString,
    };
    const ReplyKindInfo& info = replyKindInfo(kind);
    const std::optional<ReplyTokens> tokens = AcceptReply(kind, body);
    bool shown = false;
    if (tokens) {
        m_load->setStatus(QStringLiteral("Data received"), TLoad::Success);
        // A reader checks the whole reply before its page writes anything.
        shown = (this->*readers[static_cast<size_t>(kind)])(*tokens);
    }
    if (!shown) {
        m_load->setStatus(QString::fromLatin1(info.failureText), TLoad::Failure);
        if (info.failureShowsClose)
            m_load->showCloseButton();
    } else if (info.logName) {
        appendLog(LogReplyTokens(info.logName, *tokens));
    }
    if (info.progressShare > 0)
        m_load->AddOverallProgress(info.progressShare);
}

bool TForm3::HTTPGetStringPIDDoneString(const ReplyTokens& tokens) {
    CurrentPid = tokens.at(12);
    startRequest(ReplyKind::Stats, Requests::GeneralStats(m_statsServer, CurrentPid));
    return true;
}

bool TForm3::HTTPGetStringDoneString(const ReplyTokens& tokens) {
    const std::optional<OverviewValues> overview = readOverview(tokens);
    const std::optional<DataValues> data = readDataTables(tokens);
    if (!overview || !data)
        return false;
    startFanOut();
    StatisticsPages::showOverview(this, *overview);
    StatisticsPages::showDataTables(this, *data);
    return true;
}

void TForm3::startFanOut() {
    const QByteArray pid = CurrentPid;
    startRequest(ReplyKind::Rank, Requests::Rank(m_statsServer, pid));
    startRequest(ReplyKind::Maps, Requests::Maps(m_statsServer, pid));
    startRequest(ReplyKind::Awards, Requests::Awards(m_statsServer, pid));
    startRequest(ReplyKind::Unlocks, Requests::Unlocks(m_statsServer, pid));
    startRequest(ReplyKind::TopTen, Requests::TopTen(m_statsServer));
    if (!LeaderboardNicks.value(0).isEmpty())
        RequestBoardEntry(0);
}

bool TForm3::HTTPGetStringRankDoneString(const ReplyTokens& tokens) {
    const std::optional<RankValues> rank = readRank(tokens);
    if (!rank)
        return false;
    StatisticsPages::showRank(this, *rank);
    return true;
}

bool TForm3::HTTPGetStringMapsDoneString(const ReplyTokens& tokens) {
    const std::optional<TableCells> maps = readMaps(tokens);
    if (!maps)
        return false;
    StatisticsPages::showMaps(this, *maps);
    return true;
}

bool TForm3::HTTPGetStringAwardsDoneString(const ReplyTokens&) {
    return true;
}

bool TForm3::HTTPGetStringUnlocksDoneString(const ReplyTokens&) {
    return true;
}

bool TForm3::HTTPGetStringTopTenDoneString(const ReplyTokens&) {
    return true;
}

bool TForm3::HTTPGetStringpaDoneString(const ReplyTokens&) {
    return true;
}

bool TForm3::HTTPGetStringpapidDoneString(const ReplyTokens& tokens) {
    BoardPid = tokens.at(12);
    if (BoardPid != "$")
        startRequest(ReplyKind::pa, Requests::BoardRecord(m_statsServer, BoardPid));
    return true;
}

void TForm3::ResetPersonalBoard() {
    BoardCount = 0;
    const QStringList empty = EmptyBoardEntry();
    for (int row = 0; row < 10; ++row)
        for (int column = 1; column <= empty.size(); ++column)
            setCell(m_personalBoard, row, column, empty[column - 1]);
}

void TForm3::RequestBoardEntry(int index) {
    const QByteArray entry = LeaderboardNicks.value(index);
    if (entry.isEmpty())
        return;
    if (Lookup::IsPid(FromWin1252(entry)))
        startRequest(ReplyKind::pa, Requests::BoardRecord(m_statsServer, entry));
    else
        startRequest(ReplyKind::papid, Requests::BoardSearch(m_statsServer, entry));
}

void TForm3::ResetRowCaptions() {
    auto reset = [this](const char* name, const auto& names) {
        auto* list = findChild<QTreeWidget*>(QString::fromLatin1(name));
        for (int i = 0; list && i < list->topLevelItemCount() && i < static_cast<int>(names.size()); ++i)
            setCell(list, i, 0, QString::fromLatin1(names[static_cast<size_t>(i)].name));
    };
    reset("Lv_weapons", WeaponNames);
    reset("Lv_kits", KitNames);
    reset("LV_Vehicle", VehicleNames);
    reset("LV_Maps", MapNames);
    reset("LV_Army", ArmyNames);
}

void TForm3::LV_miscDblClick() {
    auto* misc = findChild<QTreeWidget*>(QStringLiteral("LV_misc"));
    if (!misc || cell(misc, 5, 1) == QLatin1String("-"))
        return;
    // Rows 5 and 6 name a player: look that player up, clan tag and blanks included.
    for (int row : {5, 6}) {
        QTreeWidgetItem* item = misc->topLevelItem(row);
        if (!item || !item->isSelected())
            continue;
        const QByteArray nick = miscNickname(ToWin1252(item->text(1)));
        if (nick.isEmpty())
            continue;
        m_username->setEditText(FromWin1252(nick));
        Ed_EingabeClick();
    }
}
