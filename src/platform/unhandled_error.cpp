#include "platform/unhandled_error.h"

#include <new>
#include <utility>

#include "platform/runtime_error.h"

namespace farlous {

std::string DescribeUnhandledError(std::exception_ptr error) {
    try {
        std::rethrow_exception(std::move(error));
    } catch (const RuntimeError& e) {
        return e.what();
    } catch (const std::bad_alloc&) {
        return "Mémoire insuffisante.";
    } catch (const std::exception& e) {
        return std::string("Erreur inattendue : ") + e.what();
    } catch (...) {
        return "Erreur inattendue.";
    }
}

}  // namespace farlous
