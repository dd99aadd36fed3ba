<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
<context>
    <name>CardBuilder</name>
    <message>
        <source>Resource with identifier &apos;101&apos; not found</source>
        <translation>Ressource portant l&apos;identificateur « 101 » introuvable</translation>
    </message>
    <message>
        <source>No font on this computer has these characters of the message, so the card shows nothing in their place: %1. The Word file keeps them.</source>
        <translation>Aucune police de cet ordinateur ne contient ces caractères du message ; la carte n&apos;affiche donc rien à leur place : %1. Le fichier Word les conserve.</translation>
    </message>
</context>
<context>
    <name>CardOutput</name>
    <message>
        <source>Greeting card</source>
        <translation>Carte de vœux</translation>
    </message>
    <message>
        <source>File not found: %1</source>
        <translation>Fichier introuvable : %1</translation>
    </message>
    <message>
        <source>Save File</source>
        <translation>Enregistrer le fichier</translation>
    </message>
    <message>
        <source>Word Files (*.doc)</source>
        <translation>Fichiers Word (*.doc)</translation>
    </message>
    <message>
        <source>Done.</source>
        <translation>Terminé.</translation>
    </message>
    <message>
        <source>Save as PDF</source>
        <translation>Enregistrer au format PDF</translation>
    </message>
    <message>
        <source>PDF Files (*.pdf)</source>
        <translation>Fichiers PDF (*.pdf)</translation>
    </message>
    <message>
        <source>Are you sure you wish to overwrite %1 ?</source>
        <translation>Voulez-vous vraiment remplacer %1 ?</translation>
    </message>
    <message>
        <source>Thank you</source>
        <translation>Merci</translation>
    </message>
    <message>
        <source>The card could not be drawn as a picture</source>
        <translation>La carte n&apos;a pas pu être dessinée sous forme d&apos;image</translation>
    </message>
    <message>
        <source>Save as Picture</source>
        <translation>Enregistrer comme image</translation>
    </message>
    <message>
        <source>PNG Pictures (*.png)</source>
        <translation>Images PNG (*.png)</translation>
    </message>
    <message>
        <source>JPEG Pictures (*.jpg *.jpeg)</source>
        <translation>Images JPEG (*.jpg *.jpeg)</translation>
    </message>
</context>
<context>
    <name>Conversions</name>
    <message>
        <source>Overflow</source>
        <translation>Dépassement de capacité</translation>
    </message>
    <message>
        <source>Division by zero</source>
        <translation>Division par zéro</translation>
    </message>
</context>
<context>
    <name>ErrorTrap</name>
    <message>
        <source>in %1 at line %2</source>
        <translation>dans %1 à la ligne %2</translation>
    </message>
    <message>
        <source>Please email screenshot of this message to %1</source>
        <translation>Veuillez envoyer une capture d&apos;écran de ce message par courriel à %1</translation>
    </message>
    <message>
        <source>Application Error</source>
        <translation>Erreur de l&apos;application</translation>
    </message>
    <message>
        <source>Unexpected failure</source>
        <translation>Échec inattendu</translation>
    </message>
    <message>
        <source>Object variable or With block variable not set</source>
        <translation>Variable objet ou variable de bloc With non définie</translation>
    </message>
</context>
<context>
    <name>Form1</name>
    <message>
        <source>Short Message</source>
        <translation>Message court</translation>
    </message>
    <message>
        <source>Start Creating Template</source>
        <translation>Créer le modèle</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Aide</translation>
    </message>
    <message>
        <source>Load Sample/Example Data</source>
        <translation>Charger les données d&apos;exemple</translation>
    </message>
    <message>
        <source>Questions? Please contact the Pelorin Cards Support Team, %1</source>
        <translation>Des questions ? Veuillez contacter l&apos;équipe d&apos;assistance de Pelorin Cards, %1</translation>
    </message>
</context>
<context>
    <name>Form2</name>
    <message>
        <source>Card view</source>
        <translation>Vue de la carte</translation>
    </message>
    <message>
        <source>Greeting card</source>
        <translation>Carte de vœux</translation>
    </message>
    <message>
        <source>Zoom:</source>
        <translation>Zoom :</translation>
    </message>
    <message>
        <source>Zoom In</source>
        <translation>Zoom avant</translation>
    </message>
    <message>
        <source>Zoom Out</source>
        <translation>Zoom arrière</translation>
    </message>
    <message>
        <source>&lt; Back</source>
        <translation>&lt; Précédent</translation>
    </message>
    <message>
        <source>Save Results To Word File</source>
        <translation>Enregistrer dans un fichier Word</translation>
    </message>
    <message>
        <source>Print…</source>
        <translation>Imprimer…</translation>
    </message>
    <message>
        <source>Save as PDF…</source>
        <translation>Enregistrer au format PDF…</translation>
    </message>
    <message>
        <source>The card shows the template&apos;s own placeholder greeting, not the message.</source>
        <translation>La carte affiche le texte d&apos;exemple du modèle, pas le message.</translation>
    </message>
    <message>
        <source>The card has no message.</source>
        <translation>La carte ne contient aucun message.</translation>
    </message>
    <message>
        <source>Message on the card:</source>
        <translation>Message sur la carte :</translation>
    </message>
    <message>
        <source>Zoom %1%</source>
        <translation>Zoom %1 %</translation>
    </message>
    <message>
        <source>Send by E-mail…</source>
        <translation>Envoyer par courriel…</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Copier</translation>
    </message>
    <message>
        <source>Save as Picture…</source>
        <translation>Enregistrer comme image…</translation>
    </message>
</context>
<context>
    <name>GenerationLock</name>
    <message>
        <source>Another copy of %1 has been making a card for %2 seconds; this card is made without waiting for it any longer.</source>
        <translation>Une autre instance de %1 crée une carte depuis %2 secondes ; cette carte est créée sans l&apos;attendre plus longtemps.</translation>
    </message>
</context>
<context>
    <name>IsInstalled</name>
    <message>
        <source>Error 842001. A normal instance of Word could not be created.</source>
        <translation>Erreur 842001. Impossible de créer une instance normale de Word.</translation>
    </message>
    <message>
        <source>1. Please make sure Word is installed on this computer.</source>
        <translation>1. Veuillez vérifier que Word est installé sur cet ordinateur.</translation>
    </message>
    <message>
        <source>2. Please open Word normally and make sure a blank document opens immediately without any interrupting window (such as an Word file recovery window).</source>
        <translation>2. Veuillez ouvrir Word normalement et vérifier qu&apos;un document vierge s&apos;ouvre aussitôt, sans fenêtre intermédiaire (comme une fenêtre de récupération de fichiers Word).</translation>
    </message>
    <message>
        <source>3. Please make sure that when you double-click on a DOC or DOCX file that Word opens normally without any interrupting messages.</source>
        <translation>3. Veuillez vérifier qu&apos;un double-clic sur un fichier DOC ou DOCX ouvre Word normalement, sans message intermédiaire.</translation>
    </message>
    <message>
        <source>4. All versions of Word are supported by this software except for the rare Word Starter and Student editions.</source>
        <translation>4. Ce logiciel prend en charge toutes les versions de Word, à l&apos;exception des rares éditions Word Starter et Student.</translation>
    </message>
</context>
<context>
    <name>LibreOfficeWord</name>
    <message>
        <source>The item with the specified name wasn&apos;t found.</source>
        <translation>L&apos;élément portant le nom indiqué est introuvable.</translation>
    </message>
    <message>
        <source>Word could not select the item %1</source>
        <translation>Word n&apos;a pas pu sélectionner l&apos;élément %1</translation>
    </message>
    <message>
        <source>The item with the specified name wasn&apos;t found on the page.</source>
        <translation>L&apos;élément portant le nom indiqué est introuvable sur la page.</translation>
    </message>
    <message>
        <source>Word cannot type the text: nothing is selected.</source>
        <translation>Word ne peut pas saisir le texte : rien n&apos;est sélectionné.</translation>
    </message>
    <message>
        <source>Word could not type the text</source>
        <translation>Word n&apos;a pas pu saisir le texte</translation>
    </message>
    <message>
        <source>Word cannot type the text: the selected item holds no text.</source>
        <translation>Word ne peut pas saisir le texte : l&apos;élément sélectionné ne contient pas de texte.</translation>
    </message>
    <message>
        <source>Word could not save the document as %1</source>
        <translation>Word n&apos;a pas pu enregistrer le document sous %1</translation>
    </message>
    <message>
        <source>the folder does not exist</source>
        <translation>le dossier n&apos;existe pas</translation>
    </message>
    <message>
        <source>it is a folder</source>
        <translation>c&apos;est un dossier</translation>
    </message>
    <message>
        <source>Word could not save the document %1</source>
        <translation>Word n&apos;a pas pu enregistrer le document %1</translation>
    </message>
    <message>
        <source>it was opened read-only</source>
        <translation>il a été ouvert en lecture seule</translation>
    </message>
    <message>
        <source>Word could not close the document %1</source>
        <translation>Word n&apos;a pas pu fermer le document %1</translation>
    </message>
    <message>
        <source>Word could not copy the document as a picture</source>
        <translation>Word n&apos;a pas pu copier le document sous forme d&apos;image</translation>
    </message>
    <message>
        <source>Word could not copy the document as a picture (no page was produced).</source>
        <translation>Word n&apos;a pas pu copier le document sous forme d&apos;image (aucune page n&apos;a été produite).</translation>
    </message>
    <message>
        <source>Word could not copy the document as a picture (the page could not be drawn).</source>
        <translation>Word n&apos;a pas pu copier le document sous forme d&apos;image (la page n&apos;a pas pu être dessinée).</translation>
    </message>
    <message>
        <source>Word could not export the document as PDF</source>
        <translation>Word n&apos;a pas pu exporter le document au format PDF</translation>
    </message>
    <message>
        <source>The document is closed.</source>
        <translation>Le document est fermé.</translation>
    </message>
    <message>
        <source>Word could not open the document: %1</source>
        <translation>Word n&apos;a pas pu ouvrir le document : %1</translation>
    </message>
    <message>
        <source>the file does not exist</source>
        <translation>le fichier n&apos;existe pas</translation>
    </message>
    <message>
        <source>the file cannot be read</source>
        <translation>le fichier ne peut pas être lu</translation>
    </message>
    <message>
        <source>not a text document</source>
        <translation>ce n&apos;est pas un document texte</translation>
    </message>
    <message>
        <source>This command is not available because no document is open.</source>
        <translation>Cette commande n&apos;est pas disponible, car aucun document n&apos;est ouvert.</translation>
    </message>
    <message>
        <source>ActiveX component can&apos;t create object</source>
        <translation>Un composant ActiveX ne peut pas créer d&apos;objet</translation>
    </message>
    <message>
        <source>no PDF was produced</source>
        <translation>aucun PDF n&apos;a été produit</translation>
    </message>
</context>
<context>
    <name>Mail</name>
    <message>
        <source>No mail program could be started: %1</source>
        <translation>Aucun programme de messagerie n&apos;a pu être lancé : %1</translation>
    </message>
    <message>
        <source>xdg-email (xdg-utils) is not installed.</source>
        <translation>xdg-email (xdg-utils) n&apos;est pas installé.</translation>
    </message>
    <message>
        <source>xdg-email ended with code %1.</source>
        <translation>xdg-email s&apos;est terminé avec le code %1.</translation>
    </message>
    <message>
        <source>xdg-email ended with signal %1.</source>
        <translation>xdg-email a été arrêté par le signal %1.</translation>
    </message>
    <message>
        <source>No mail program could be started: the desktop did not answer.</source>
        <translation>Aucun programme de messagerie n&apos;a pu être lancé : le bureau n&apos;a pas répondu.</translation>
    </message>
</context>
<context>
    <name>Main</name>
    <message>
        <source>Cannot create the folder &apos;%1&apos;: %2</source>
        <translation>Impossible de créer le dossier « %1 » : %2</translation>
    </message>
    <message>
        <source>The folder &apos;%1&apos; is a symbolic link or not a folder, so it cannot be kept private. Remove it, then try again.</source>
        <translation>Le dossier « %1 » est un lien symbolique ou n&apos;est pas un dossier : il ne peut donc pas rester privé. Supprimez-le, puis réessayez.</translation>
    </message>
    <message>
        <source>The folder &apos;%1&apos; belongs to another user, so it cannot be kept private. Remove it or make it your own, then try again.</source>
        <translation>Le dossier « %1 » appartient à un autre utilisateur : il ne peut donc pas rester privé. Supprimez-le ou devenez-en propriétaire, puis réessayez.</translation>
    </message>
    <message>
        <source>Cannot make the folder private &apos;%1&apos;: %2</source>
        <translation>Impossible de rendre privé le dossier « %1 » : %2</translation>
    </message>
    <message>
        <source>Cannot create file &apos;%1&apos;: %2</source>
        <translation>Impossible de créer le fichier « %1 » : %2</translation>
    </message>
    <message>
        <source>Cannot write file &apos;%1&apos;: %2</source>
        <translation>Impossible d&apos;écrire le fichier « %1 » : %2</translation>
    </message>
    <message>
        <source>File not found &apos;%1&apos;: %2</source>
        <translation>Fichier introuvable « %1 » : %2</translation>
    </message>
    <message>
        <source>Permission denied &apos;%1&apos;: %2</source>
        <translation>Permission refusée « %1 » : %2</translation>
    </message>
    <message>
        <source>Bad file name or number</source>
        <translation>Nom ou numéro de fichier incorrect</translation>
    </message>
    <message>
        <source>File not found: %1</source>
        <translation>Fichier introuvable : %1</translation>
    </message>
    <message>
        <source>Invalid picture: %1</source>
        <translation>Image non valide : %1</translation>
    </message>
</context>
<context>
    <name>OfficeArtShapes</name>
    <message>
        <source>%1 is not a Word 97-2003 document%2</source>
        <translation>%1 n&apos;est pas un document Word 97-2003%2</translation>
    </message>
    <message>
        <source>The shapes of %1 cannot be read: %2</source>
        <translation>Les formes de %1 ne peuvent pas être lues : %2</translation>
    </message>
    <message>
        <source>The shapes of the document cannot be read: %1</source>
        <translation>Les formes du document ne peuvent pas être lues : %1</translation>
    </message>
    <message>
        <source>The document %1 cannot be read: %2</source>
        <translation>Le document %1 ne peut pas être lu : %2</translation>
    </message>
    <message>
        <source>The document cannot be read</source>
        <translation>Le document ne peut pas être lu</translation>
    </message>
    <message>
        <source>The document</source>
        <translation>Le document</translation>
    </message>
</context>
<context>
    <name>OfficeGuard</name>
    <message>
        <source>The office engine could not be started: no watcher (%1)</source>
        <translation>Impossible de démarrer le moteur bureautique : aucun surveillant (%1)</translation>
    </message>
</context>
<context>
    <name>OfficeProcess</name>
    <message>
        <source>The office engine could not be started: no private folder (%1)</source>
        <translation>Impossible de démarrer le moteur bureautique : aucun dossier privé (%1)</translation>
    </message>
    <message>
        <source>The office engine could not be started: cannot lock its private folder (%1)</source>
        <translation>Impossible de démarrer le moteur bureautique : impossible de verrouiller son dossier privé (%1)</translation>
    </message>
    <message>
        <source>The office engine could not be started: %1 is missing or not a program</source>
        <translation>Impossible de démarrer le moteur bureautique : %1 est absent ou n&apos;est pas un programme</translation>
    </message>
    <message>
        <source>The office engine could not be started: %1</source>
        <translation>Impossible de démarrer le moteur bureautique : %1</translation>
    </message>
    <message>
        <source>The office engine could not be started: %1 (%2)</source>
        <translation>Impossible de démarrer le moteur bureautique : %1 (%2)</translation>
    </message>
    <message>
        <source>still running</source>
        <translation>toujours en cours d&apos;exécution</translation>
    </message>
    <message>
        <source>it ended with exit code %1</source>
        <translation>il s&apos;est terminé avec le code de sortie %1</translation>
    </message>
    <message>
        <source>it was ended by signal %1</source>
        <translation>il a été arrêté par le signal %1</translation>
    </message>
    <message>
        <source>it ended</source>
        <translation>il s&apos;est terminé</translation>
    </message>
</context>
<context>
    <name>OfficeSession</name>
    <message>
        <source>The office engine could not be started: cannot write its font settings (%1)</source>
        <translation>Impossible de démarrer le moteur bureautique : impossible d&apos;écrire ses paramètres de polices (%1)</translation>
    </message>
    <message>
        <source>The office engine could not be started: %1</source>
        <translation>Impossible de démarrer le moteur bureautique : %1</translation>
    </message>
    <message>
        <source>it did not come up within %1 seconds</source>
        <translation>il n&apos;a pas démarré dans les %1 secondes</translation>
    </message>
    <message>
        <source>it did not answer within %1 seconds</source>
        <translation>il n&apos;a pas répondu dans les %1 secondes</translation>
    </message>
    <message>
        <source>Word could not quit</source>
        <translation>Word n&apos;a pas pu quitter</translation>
    </message>
    <message>
        <source>The office engine is no longer running.</source>
        <translation>Le moteur bureautique ne fonctionne plus.</translation>
    </message>
    <message>
        <source>The office engine did not answer within %1 seconds and was stopped (%2).</source>
        <translation>Le moteur bureautique n&apos;a pas répondu dans les %1 secondes et a été arrêté (%2).</translation>
    </message>
    <message>
        <source>%1: the office engine ended unexpectedly (%2).</source>
        <translation>%1 : le moteur bureautique s&apos;est arrêté de manière inattendue (%2).</translation>
    </message>
    <message>
        <source>%1: the office engine ended unexpectedly (the connection to it was lost).</source>
        <translation>%1 : le moteur bureautique s&apos;est arrêté de manière inattendue (la connexion avec lui a été perdue).</translation>
    </message>
</context>
<context>
    <name>PdfPages</name>
    <message>
        <source>no page was produced</source>
        <translation>aucune page n&apos;a été produite</translation>
    </message>
    <message>
        <source>the page could not be drawn</source>
        <translation>la page n&apos;a pas pu être dessinée</translation>
    </message>
</context>
<context>
    <name>PictureBox</name>
    <message>
        <source>Invalid picture</source>
        <translation>Image non valide</translation>
    </message>
</context>
<context>
    <name>Printing</name>
    <message>
        <source>The card could not be printed: the print system (CUPS) does not answer at %1.</source>
        <translation>Impossible d&apos;imprimer la carte : le système d&apos;impression (CUPS) ne répond pas à l&apos;adresse %1.</translation>
    </message>
    <message>
        <source>The card could not be printed on &quot;%1&quot;: %2</source>
        <translation>Impossible d&apos;imprimer la carte sur « %1 » : %2</translation>
    </message>
    <message>
        <source>The card could not be printed: no printer was chosen.</source>
        <translation>Impossible d&apos;imprimer la carte : aucune imprimante n&apos;a été choisie.</translation>
    </message>
</context>
<context>
    <name>ProfileCache</name>
    <message>
        <source>The office engine could not be started: cannot write its profile (%1)</source>
        <translation>Impossible de démarrer le moteur bureautique : impossible d&apos;écrire son profil (%1)</translation>
    </message>
</context>
<context>
    <name>QtPlatform</name>
    <message>
        <source>Cannot access the settings file %1</source>
        <translation>Impossible d&apos;accéder au fichier de paramètres %1</translation>
    </message>
    <message>
        <source>The settings file is damaged: %1</source>
        <translation>Le fichier de paramètres est endommagé : %1</translation>
    </message>
    <message>
        <source>File not found: %1</source>
        <translation>Fichier introuvable : %1</translation>
    </message>
    <message>
        <source>The clipboard holds no picture</source>
        <translation>Le presse-papiers ne contient aucune image</translation>
    </message>
</context>
<context>
    <name>Skin</name>
    <message>
        <source>Argument not optional</source>
        <translation>Argument non facultatif</translation>
    </message>
    <message>
        <source>Cannot load the skin %1: %2</source>
        <translation>Impossible de charger l&apos;habillage %1 : %2</translation>
    </message>
    <message>
        <source>The skin file is damaged: %1</source>
        <translation>Le fichier d&apos;habillage est endommagé : %1</translation>
    </message>
    <message>
        <source>No skin loaded</source>
        <translation>Aucun habillage chargé</translation>
    </message>
    <message>
        <source>Invalid window handle</source>
        <translation>Handle de fenêtre non valide</translation>
    </message>
    <message>
        <source>Member not found</source>
        <translation>Membre introuvable</translation>
    </message>
</context>
<context>
    <name>Snapshot</name>
    <message>
        <source>Invalid picture</source>
        <translation>Image non valide</translation>
    </message>
</context>
<context>
    <name>UnoRuntime</name>
    <message>
        <source>The office engine could not be started: %1</source>
        <translation>Impossible de démarrer le moteur bureautique : %1</translation>
    </message>
</context>
<context>
    <name>WindowPointer</name>
    <message>
        <source>Invalid picture</source>
        <translation>Image non valide</translation>
    </message>
</context>
</TS>
