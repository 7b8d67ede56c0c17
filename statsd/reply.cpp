#include "reply.h"

namespace {

constexpr bool isBreaking(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
}

} // namespace

Reply::Reply() {
    m_body.reserve(4096);
    m_body = "O\n";
    m_counted = 1;
}

void Reply::line(char tag, const auto& fields) {
    m_body += tag;
    ++m_counted;
    for (const auto& field : fields) {
        m_body += '\t';
        for (const char c : field) {
            m_body += isBreaking(c) ? ' ' : c;
        }
        m_counted += field.size();
    }
    m_body += '\n';
}

Reply& Reply::header(const std::vector<std::string_view>& names) {
    line('H', names);
    return *this;
}

Reply& Reply::data(const std::vector<std::string>& values) {
    line('D', values);
    return *this;
}

std::string Reply::finish() {
    m_body += "$\t";
    m_body += std::to_string(m_counted);
    m_body += "\t$";
    std::string body;
    body.swap(m_body);
    m_counted = 0;
    return body;
}

std::string errorReply() {
    return "E\t107\t\n$\t4\t$";
}

std::string noRecordReply() {
    return "O\n$\t1\t$";
}
