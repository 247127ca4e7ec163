#pragma once
// Internal: the text limit of an edit, counted in characters (code points) as the edit shows
// them, so that the limit while typing and the length check of the data exchange agree for
// every character, whatever its size in UTF-8 or UTF-16.

class QLineEdit;

namespace ordvane::framework::detail {

// The framework's edits hold up to 32767 characters when no limit is set.
inline constexpr int kDefaultEditCharacterLimit = 32767;

// Limits the edit to maxCharacters characters (0: the default). Typing past the limit is
// refused and a paste is cut to what fits, as the platform's edit does.
void SetEditCharacterLimit(QLineEdit* edit, int maxCharacters);
int EditCharacterLimit(const QLineEdit* edit);

}  // namespace ordvane::framework::detail
