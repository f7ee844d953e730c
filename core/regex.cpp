#include "core/regex.h"

#include "core/tessaly_error.h"

#include <pcre2.h>

namespace {
// Enough for any real FB2 head; a crafted one stops here instead of backtracking for ages.
constexpr uint32_t MatchLimit = 1'000'000;
constexpr uint32_t DepthLimit = 10'000;

struct MatchDataDeleter
{
    void operator()(pcre2_match_data *data) const { pcre2_match_data_free(data); }
};
struct ContextDeleter
{
    void operator()(pcre2_match_context *context) const { pcre2_match_context_free(context); }
};
} // namespace

void Regex::CodeDeleter::operator()(pcre2_real_code_8 *code) const
{
    pcre2_code_free(code);
}

Regex::Regex(const QString &pattern)
{
    const QByteArray utf8 = pattern.toUtf8();
    int errorCode = 0;
    PCRE2_SIZE errorOffset = 0;
    m_code.reset(pcre2_compile(reinterpret_cast<PCRE2_SPTR>(utf8.constData()), PCRE2_SIZE(utf8.size()), PCRE2_DOTALL,
                               &errorCode, &errorOffset, nullptr));
    if (!m_code) {
        PCRE2_UCHAR buffer[256];
        pcre2_get_error_message(errorCode, buffer, sizeof buffer);
        throw TessalyError(QStringLiteral("Invalid pattern %1: %2")
                               .arg(pattern, QString::fromUtf8(reinterpret_cast<const char *>(buffer))));
    }
    // JIT is optional: where it is unavailable the interpreter serves under the same limits.
    pcre2_jit_compile(m_code.get(), PCRE2_JIT_COMPLETE);
}

Regex::~Regex() = default;
Regex::Regex(Regex &&) noexcept = default;
Regex &Regex::operator=(Regex &&) noexcept = default;

std::optional<QByteArray> Regex::firstMatch(QByteArrayView subject, int group) const
{
    std::unique_ptr<pcre2_match_data, MatchDataDeleter> data(
        pcre2_match_data_create_from_pattern(m_code.get(), nullptr));
    std::unique_ptr<pcre2_match_context, ContextDeleter> context(pcre2_match_context_create(nullptr));
    if (!data || !context)
        return std::nullopt;
    pcre2_set_match_limit(context.get(), MatchLimit);
    pcre2_set_depth_limit(context.get(), DepthLimit);
    const int result = pcre2_match(m_code.get(), reinterpret_cast<PCRE2_SPTR>(subject.data()),
                                   PCRE2_SIZE(subject.size()), 0, 0, data.get(), context.get());
    if (result <= group) // no match, a limit reached, or the group did not take part
        return std::nullopt;
    const PCRE2_SIZE *offsets = pcre2_get_ovector_pointer(data.get());
    const PCRE2_SIZE start = offsets[2 * group];
    const PCRE2_SIZE end = offsets[2 * group + 1];
    if (start == PCRE2_UNSET)
        return std::nullopt;
    return QByteArray(subject.data() + start, qsizetype(end - start));
}
