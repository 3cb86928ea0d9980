// The ways block access ends the process: each writes its message and exits
// with status 1.
#pragma once

// A sub-matrix traversal of a range that is not one block of the storage,
// or begun before the block storage exists.
[[noreturn]] void fail_block_access();

// A second request to build the block storage, when the line storage it
// would be built from is gone.
[[noreturn]] void fail_block_rebuild();
