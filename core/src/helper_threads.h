// Whether the library may put part of a long step on a helper thread.  A
// program that already keeps every processor busy with processes of its
// own (a parallel batch) turns it off in them.
#pragma once

namespace mireo {

void allowHelperThreads(bool allowed);
bool helperThreadsAllowed();

}  // namespace mireo
