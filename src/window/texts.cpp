#include "window/texts.h"

#include <string_view>

namespace farlous {

std::string WindowCaption() {
    std::string_view address = kPublisherAddress;
    address.remove_suffix(1);  // the caption shows the address without its final "/"
    return "Glimbo " + std::string(address);
}

std::string AboutText() {
    const std::string w = kPublisherAddress;
    return "Ce programme vous est offert par Glimbo, Webzine d'humour fait par des cons, pour des "
           "cons, disponible sur " +
           w + " (textes, dessins et programme : la joyeuse équipe de rédaction de Glimbo)" +
           " Pour avoir plus de farlous, téléchargez la dernière version du fichier farlous.txt "
           "sur " +
           w +
           " Vous pouvez distribuer ce programme librement, tant que vous mentionnez l'URL d'où il "
           "provient: " +
           w + " Vous pouvez vous rendre à cet URL pour y lire Glimbo, Webzine mensuel.";
}

std::string MissingFileText() {
    return "Si vous lisez ce texte, c'est que vous n'avez pas encore le fichier farlous.txt Pour "
           "avoir ce fichier, téléchargez le sur " +
           std::string(kPublisherAddress) +
           " et décompressez le dans le dossier où vous avez installé ce programme (ex : "
           "C:/FARLOUS/). Dans le dossier où vous avez installé le programme, cliquez sur "
           "FARLOUS.EXE avec le bouton droit et créez un raccourci que vous allez placer dans "
           "C:/WINDOWS/MENU DEMARRER/PROGRAMMES/DEMARRAGE/";
}

}  // namespace farlous
