#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <memory>
#include <optional>

struct pcre2_real_code_8;

// A compiled Perl-style pattern over bytes: case-sensitive, '.' matching line breaks, the
// leftmost match. Matching work is bounded, so a pathological text cannot hang the
// application: a search that exceeds the bound counts as no match.
class Regex
{
public:
    // Throws TessalyError when the pattern does not compile.
    explicit Regex(const QString &pattern);
    ~Regex();
    Regex(Regex &&) noexcept;
    Regex &operator=(Regex &&) noexcept;

    // The bytes of capture group `group` of the leftmost match, or nothing.
    std::optional<QByteArray> firstMatch(QByteArrayView subject, int group) const;

private:
    struct CodeDeleter
    {
        void operator()(pcre2_real_code_8 *code) const;
    };
    std::unique_ptr<pcre2_real_code_8, CodeDeleter> m_code;
};
