// The ways loading or re-reading the state-space files ends the process:
// each writes its message and exits with status 1, releasing nothing.
#pragma once

[[noreturn]] void fail_corrupt_arm_file();
[[noreturn]] void fail_corrupt_var_file();
[[noreturn]] void fail_missing_row();
