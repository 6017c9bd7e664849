#include "guard.h"

namespace mireo {

int errorNumberOf(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const RuntimeError& e) {
        return e.number;
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    } catch (const std::length_error&) {
        return kOutOfMemory;
    } catch (const std::out_of_range&) {
        return kSubscriptOutOfRange;
    } catch (const std::overflow_error&) {
        return kOverflow;
    } catch (...) {
        return kInvalidCall;
    }
}

}  // namespace mireo
