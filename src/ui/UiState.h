#pragma once
// The user-interface states of the main window; they decide which windows and
// controls are usable. Values are fixed.

enum class TUiState : int {
  Initial = 0,    // from construction to the first show
  Ready = 1,      // conditions may be edited; no results
  InSearch = 2,   // a search runs
  Found = 3,      // results with at least one place
  NotFound = 4,   // a search ended with no place
  InReplace = 5,  // a replace runs
};

// A run is active: the search conditions and the commands that start another wait.
inline bool IsBusy(TUiState state) { return state == TUiState::InSearch || state == TUiState::InReplace; }
