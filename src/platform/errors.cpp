#include "platform/errors.h"

#include <new>

namespace farlous {

namespace {

// Longer values are cut in messages, so that a pasted file cannot flood the error box.
constexpr std::size_t kQuoteLimit = 40;

// `text` with each control character as '?': the C0 controls, DEL, and the C1 controls written
// in UTF-8. Other bytes are kept as they are.
std::string Shown(std::string_view text) {
    std::string shown;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
        const bool c1 = byte == 0xC2 && next >= 0x80 && next < 0xA0;
        if (c1) ++i;
        shown += byte < 0x20 || byte == 0x7F || c1 ? '?' : text[i];
    }
    return shown;
}

std::string Quoted(std::string_view text) {
    const bool cut = text.size() > kQuoteLimit;
    if (cut) {
        std::size_t end = kQuoteLimit;
        while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
        text = text.substr(0, end);
    }
    return "« " + Shown(text) + (cut ? "…" : "") + " »";
}

}  // namespace

namespace errors {

RuntimeError FileNotFound(std::string_view path) {
    return RuntimeError("Fichier introuvable : " + Shown(path));
}
RuntimeError PermissionDenied(std::string_view path) {
    return RuntimeError("Permission refusée : impossible de lire le fichier " + Shown(path));
}
RuntimeError OutOfMemoryReading(std::string_view path) {
    return RuntimeError("Mémoire insuffisante pour lire le fichier " + Shown(path));
}
RuntimeError ReadError(std::string_view path) {
    return RuntimeError("Erreur de lecture du fichier " + Shown(path));
}
RuntimeError NotAFile(std::string_view path) {
    return RuntimeError(ReadError(path).what() + std::string(" : ce n'est pas un fichier."));
}
RuntimeError NotANumber(std::string_view text) {
    if (text.empty()) return RuntimeError("Type incompatible : un texte vide n'est pas un nombre.");
    return RuntimeError("Type incompatible : " + Quoted(text) + " n'est pas un nombre.");
}
RuntimeError Overflow(std::string_view text) {
    return RuntimeError("Dépassement de capacité : " + Quoted(text) +
                        " ne tient pas dans un entier de 32 bits.");
}
RuntimeError SettingOfAnotherType(std::string_view key) {
    return RuntimeError("Type incompatible : le réglage « " + std::string(key) +
                        " » n'est ni un texte ni un nombre.");
}
RuntimeError SettingUnreadable(std::string_view key, long systemError) {
    return RuntimeError("Impossible de lire le réglage « " + std::string(key) + " » (erreur " +
                        std::to_string(systemError) + ").");
}
RuntimeError TooManyLines() {
    return RuntimeError("Mémoire insuffisante : le fichier de blagues a trop de lignes.");
}
RuntimeError UnknownProgramFolder() {
    return RuntimeError("Dossier du programme introuvable : le système n'en donne pas le chemin.");
}
std::string NoDisplay() { return "Affichage impossible : aucun écran n'a pu être ouvert."; }
std::string OutOfMemory() { return "Mémoire insuffisante."; }
std::string TooFewFiles() {
    return "Trop de fichiers ouverts : le système en permet trop peu à ce programme.";
}

}  // namespace errors

std::string DescribeUnhandledError(std::exception_ptr error) {
    try {
        std::rethrow_exception(std::move(error));
    } catch (const RuntimeError& e) {
        return e.what();
    } catch (const std::bad_alloc&) {
        return errors::OutOfMemory();
    } catch (const std::exception& e) {
        return "Erreur inattendue : " + std::string(e.what());
    } catch (...) {
        return "Erreur inattendue.";
    }
}

}  // namespace farlous
