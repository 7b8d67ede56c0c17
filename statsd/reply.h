#pragma once

#include <string>
#include <string_view>
#include <vector>

// The reply grammar of the statistics service: fields separated by TAB, lines ended by LF; the
// first line "O" (or "E"), then "H" lines with column names each followed by "D" lines with
// values; the last line "$", TAB, N, TAB, "$" without a line end, N being the number of characters
// before that line, TABs and LFs not counted.
class Reply final {
public:
    // A reply whose first line is "O".
    Reply();

    Reply& header(const std::vector<std::string_view>& names);
    // Values are Windows-1252 text; a TAB, line end or other control character inside a value
    // would break the grammar and becomes a blank.
    Reply& data(const std::vector<std::string>& values);

    // The finished body; the Reply is empty afterwards.
    std::string finish();

private:
    void line(char tag, const auto& fields);

    std::string m_body;
    std::size_t m_counted = 0;
};

// "E", TAB, "107", TAB, LF, "$", TAB, "4", TAB, "$": the service's answer to a missing or unknown
// player id or nickname and to requests it cannot serve.
std::string errorReply();

// "O", LF, "$", TAB, "1", TAB, "$": a leaderboard asked for a player without a record.
std::string noRecordReply();
