// The export table of a program that links the image library.  Each call
// holds back stop signals until it returns, so that the library's own
// temporary files are gone before a stopped process ends.
#pragma once

#include "imaging/library.h"
#include "imaging/temporary_paths.h"

namespace mireo::imaging {

template <auto Export>
struct StopDeferredCall;

template <class... Args, void (*Export)(Args...)>
struct StopDeferredCall<Export> {
    static void call(Args... args) {
        StopDeferred deferred;
        Export(args...);
    }
};

inline const Library& linkedLibrary() {
    static const Library exports{
        StopDeferredCall<::WriteBmp24>::call, StopDeferredCall<::WriteBmp8>::call,
        StopDeferredCall<::WriteBmp8dith>::call, StopDeferredCall<::WriteBmp4>::call,
        StopDeferredCall<::WriteBmp4dith>::call, StopDeferredCall<::RotateImg>::call,
        StopDeferredCall<::CompilePDB>::call, StopDeferredCall<::ReadVTBI>::call,
        ::MireoSetWindowSystem};
    return exports;
}

}  // namespace mireo::imaging
