#pragma once

// The engine's own window messages between host windows and controls, and
// the marker by which a double click reaches a control.
namespace ui {

inline constexpr unsigned kMsgFocusGained = 10240;     // to control: wParam input wParam, lParam old focus
inline constexpr unsigned kMsgFocusLost = 10241;       // to control: lParam new focus
inline constexpr unsigned kMsgMouseEntered = 10242;    // to control: lParam previous hover control
inline constexpr unsigned kMsgMouseLeft = 10243;       // to control: lParam next hover control
inline constexpr unsigned kMsgClick = 10244;           // to control: wParam control, lParam packed point
inline constexpr unsigned kMsgSurfaceResized = 10245;  // to control: wParam width, lParam height
inline constexpr unsigned kMsgHidden = 10246;
inline constexpr unsigned kMsgShown = 10247;
inline constexpr unsigned kMsgDrawTransition = 10248;  // query: lParam TransitionPaintRecord*
inline constexpr unsigned kMsgTakesPress = 10250;      // query: -1 = decide by `interactive`
inline constexpr unsigned kMsgSetMnemonic = 10251;     // to host: wParam control, lParam key code
inline constexpr unsigned kMsgPresentLayered = 10253;  // to host
inline constexpr unsigned kMsgDisabledLook = 10254;    // query: -1 = draw at half opacity
inline constexpr unsigned kMsgInvalidate = 10256;      // to host: wParam mode, lParam QueuedBlock<RectF>*
inline constexpr unsigned kMsgMoved = 10257;           // to host and control: wParam control, lParam 1 = redraw
inline constexpr unsigned kMsgDeliver = 10258;         // to host: wParam control, lParam QueuedBlock<PackedMessage>*
inline constexpr unsigned kMsgHasFocus = 10260;        // query: 1, 0, or -1 = ask the host
inline constexpr unsigned kMsgOpacityChanged = 10261;  // to control: lParam opacity
inline constexpr unsigned kMsgRefresh = 10262;         // to control, during a full composition
inline constexpr unsigned kMsgTransitionStarted = 10263;
inline constexpr unsigned kMsgTransitionFinished = 10264;
inline constexpr unsigned kMsgAccessibleClick = 10265;  // to host: wParam control, its default action

// wParam of a WM_LBUTTONDOWN that is the second press of a double click.
inline constexpr unsigned kDoubleClickMarker = 10086;

// The answer of a handler or hook that leaves a message to the default.
inline constexpr int kUnhandled = -1;

}  // namespace ui
