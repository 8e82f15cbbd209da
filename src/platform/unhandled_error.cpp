#include "platform/unhandled_error.h"

#include <new>
#include <utility>

#include "platform/error_texts.h"
#include "platform/runtime_error.h"

namespace farlous {

std::string DescribeUnhandledError(std::exception_ptr error) {
    try {
        std::rethrow_exception(std::move(error));
    } catch (const RuntimeError& e) {
        return e.what();
    } catch (const std::bad_alloc&) {
        return error_texts::OutOfMemory();
    } catch (const std::exception& e) {
        return error_texts::Unexpected(e.what());
    } catch (...) {
        return error_texts::Unexpected();
    }
}

}  // namespace farlous
