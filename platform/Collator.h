#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

/// The primary weights of a text's first characters, as ranks: enough to order most texts of
/// a large sort without the collator (see ComparePrimaryPrefixes).
struct TPrimaryPrefix {
    static constexpr std::size_t Capacity = 16;
    /// 0 after the last weight, so that arrays compare as their texts' weights up to there.
    std::array<std::uint16_t, Capacity> ranks{};
    std::uint8_t length = 0;
    /// Whether `ranks` holds the weights of the whole text.
    bool complete = false;
};

/// Negative or positive where the prefixes alone decide the order of their texts, 0 where only
/// the whole texts can (the texts may still differ).
int ComparePrimaryPrefixes(const TPrimaryPrefix& a, const TPrimaryPrefix& b);

/// Compares texts of code page 932 as the user's locale orders them, ignoring case.
/// ASCII symbols sort before digits and digits before letters in every locale, symbols in the
/// order Windows gives them, and '-' and '\'' are ignored ("co-op" equals "coop").
class TCollator {
public:
    /// The user's locale: LC_ALL, else LC_COLLATE, else LANG (the "C"/"POSIX"/empty locale and
    /// unknown names fall back to the root order); e.g. "ja_JP.UTF-8" -> ICU "ja_JP".
    TCollator();
    /// An empty name is the root order. Throws std::runtime_error only when ICU has no
    /// collation data at all.
    explicit TCollator(std::string_view icuLocaleName);
    ~TCollator();

    /// Negative, zero or positive.
    int Compare(std::string_view a, std::string_view b) const;
    /// A byte string whose plain byte order (memcmp / std::string <) is the Compare order, so
    /// that sorting 10,000 lines compares keys, not texts.
    std::string SortKey(std::string_view text) const;

    /// The primary weights of the text's characters up to the first one whose weight depends on
    /// its neighbours or is not a single primary weight (a contraction, an expansion, an
    /// ignorable or undecodable character), at most TPrimaryPrefix::Capacity of them.
    TPrimaryPrefix PrimaryPrefix(std::string_view text) const;
    /// Builds what PrimaryPrefix needs, as its first call would: tens of milliseconds, which a
    /// caller may spend beforehand on another thread.
    void PreparePrimaryPrefixes() const;

    /// The ICU name of the user's collation locale, empty for the root order.
    static std::string UserLocaleName();

private:
    struct TImpl;
    std::unique_ptr<TImpl> impl_;
};
