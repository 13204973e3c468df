#pragma once
// What an entry field answers to a key or a focus change. The window layer
// forwards the input, copies the field's text and caret back into its edit
// control, and acts on these flags.

namespace fields {

// Control characters the fields act on; others are left to the window layer
// (clipboard shortcuts reach the fields as paste() and cut()).
inline constexpr char kBackspace = '\x08';
inline constexpr char kEnter = '\x0D';

struct KeyResult {
    bool refused = false;           // key not taken, text unchanged: beep
    bool moveFocusToCharge = false; // Enter accepted: focus goes to the "CHARGE" button
};

inline constexpr KeyResult kAccepted{};
inline constexpr KeyResult kRefused{true, false};

struct FocusInResult {
    bool clearDefaultButton = false; // the owner drops its default push button so Enter reaches the field
};

} // namespace fields
