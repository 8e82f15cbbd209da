#include "platform/error_texts.h"

namespace farlous::error_texts {

std::string FileNotFound(const std::string& shownPath) {
    return "Fichier introuvable : " + shownPath;
}

std::string PermissionDenied(const std::string& shownPath) {
    return "Permission refusée : impossible de lire le fichier " + shownPath;
}

std::string OutOfMemoryReading(const std::string& shownPath) {
    return "Mémoire insuffisante pour lire le fichier " + shownPath;
}

std::string ReadError(const std::string& shownPath) {
    return "Erreur de lecture du fichier " + shownPath;
}

std::string NotAFile(const std::string& shownPath) {
    return ReadError(shownPath) + " : ce n'est pas un fichier.";
}

std::string BadFileNumber(int fileNumber) {
    return "Nom ou numéro de fichier incorrect : " + std::to_string(fileNumber);
}

std::string EmptyIsNotANumber() { return "Type incompatible : un texte vide n'est pas un nombre."; }

std::string NotANumber(const std::string& quotedText) {
    return "Type incompatible : " + quotedText + " n'est pas un nombre.";
}

std::string Overflow(const std::string& quotedText) {
    return "Dépassement de capacité : " + quotedText + " ne tient pas dans un entier de 32 bits.";
}

std::string SettingOfAnotherType(const std::string& key) {
    return "Type incompatible : le réglage « " + key + " » n'est ni un texte ni un nombre.";
}

std::string SettingUnreadable(const std::string& key, long systemError) {
    return "Impossible de lire le réglage « " + key + " » (erreur " + std::to_string(systemError) +
           ").";
}

std::string TooManyLines() {
    return "Mémoire insuffisante : le fichier de blagues a trop de lignes.";
}

std::string OutOfMemory() { return "Mémoire insuffisante."; }

std::string UnknownProgramFolder() {
    return "Dossier du programme introuvable : le système n'en donne pas le chemin.";
}

std::string NoDisplay() { return "Affichage impossible : aucun écran n'a pu être ouvert."; }

std::string Unexpected(const std::string& what) { return "Erreur inattendue : " + what; }

std::string Unexpected() { return "Erreur inattendue."; }

}  // namespace farlous::error_texts
