#pragma once

#include <memory>
#include <string>
#include <string_view>

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

    /// The ICU name of the user's collation locale, empty for the root order.
    static std::string UserLocaleName();

private:
    struct TImpl;
    std::unique_ptr<TImpl> impl_;
};
