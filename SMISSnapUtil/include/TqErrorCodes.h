// Error numbers the engine sets on the host's job record (the boundary to the host agent), named once here.
// Code and tests use these names, never the bare numbers.
#pragma once

// An array refused the login (HTTP 401): the operation's result is empty and this error is set.
constexpr int kTqErrorAuthFailure = 60555;
