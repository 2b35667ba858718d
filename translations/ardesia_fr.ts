<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
<context>
    <name>DialogNetwork</name>
    <message>
        <source>Dialog</source>
        <translation>Partie en réseau</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>Se connecter</translation>
    </message>
    <message>
        <source>Noir</source>
        <translation>Noir</translation>
    </message>
    <message>
        <source>Blanc</source>
        <translation>Blanc</translation>
    </message>
    <message>
        <source>Il faut choisir BLACK ou WHITE.</source>
        <translation>Il faut choisir BLACK ou WHITE.</translation>
    </message>
    <message>
        <source>&lt;em&gt;Tentative de connexion en cours...&lt;/em&gt;</source>
        <translation>&lt;em&gt;Tentative de connexion en cours...&lt;/em&gt;</translation>
    </message>
    <message>
        <source>Erreur: choissez l&apos;autre couleur.</source>
        <translation>Erreur : choisissez l&apos;autre couleur.</translation>
    </message>
    <message>
        <source>&lt;em&gt;Connexion réussie !&lt;/em&gt;</source>
        <translation>&lt;em&gt;Connexion réussie !&lt;/em&gt;</translation>
    </message>
    <message>
        <source>&lt;em&gt;Déconnecté du serveur&lt;/em&gt;</source>
        <translation>&lt;em&gt;Déconnecté du serveur&lt;/em&gt;</translation>
    </message>
    <message>
        <source>&lt;em&gt;ERREUR : le serveur a refusé la connexion. Vérifiez si le programme &quot;serveur&quot; a bien été lancé. Vérifiez aussi l&apos;IP et le port.&lt;/em&gt;</source>
        <translation>&lt;em&gt;ERREUR : le serveur a refusé la connexion. Vérifiez si le programme &quot;serveur&quot; a bien été lancé. Vérifiez aussi l&apos;IP et le port.&lt;/em&gt;</translation>
    </message>
    <message>
        <source>&lt;em&gt;ERREUR : le serveur a coupé la connexion.&lt;/em&gt;</source>
        <translation>&lt;em&gt;ERREUR : le serveur a coupé la connexion.&lt;/em&gt;</translation>
    </message>
    <message>
        <source>&lt;em&gt;ERREUR : le serveur n&apos;a pas pu être trouvé. Vérifiez l&apos;IP et le port.&lt;/em&gt;</source>
        <translation>&lt;em&gt;ERREUR : le serveur n&apos;a pas pu être trouvé. Vérifiez l&apos;IP et le port.&lt;/em&gt;</translation>
    </message>
    <message>
        <source>&lt;em&gt;ERREUR : </source>
        <translation>&lt;em&gt;ERREUR : </translation>
    </message>
    <message>
        <source>&lt;/em&gt;</source>
        <translation>&lt;/em&gt;</translation>
    </message>
    <message>
        <source>&lt;em&gt;Couleur enregistrée : en attente d&apos;un adversaire...&lt;/em&gt;</source>
        <translation>&lt;em&gt;Couleur enregistrée : en attente d&apos;un adversaire...&lt;/em&gt;</translation>
    </message>
</context>
<context>
    <name>FenServeur</name>
    <message>
        <source>Quitter</source>
        <translation>Quitter</translation>
    </message>
    <message>
        <source>Ardesia - Serveur</source>
        <translation>Ardesia - Serveur</translation>
    </message>
    <message>
        <source>Le serveur n&apos;a pas pu être démarré. Raison :&lt;br /&gt;</source>
        <translation>Le serveur n&apos;a pas pu être démarré. Raison :&lt;br /&gt;</translation>
    </message>
    <message>
        <source>&lt;/strong&gt;.&lt;br /&gt;Des clients peuvent maintenant se connecter.</source>
        <translation>&lt;/strong&gt;.&lt;br /&gt;Des clients peuvent maintenant se connecter.</translation>
    </message>
    <message>
        <source>Le serveur a été démarré sur le port &lt;strong&gt;</source>
        <translation>Le serveur a été démarré sur le port &lt;strong&gt;</translation>
    </message>
    <message>
        <source>&lt;/strong&gt;.&lt;br /&gt;Nb joueurs : 1</source>
        <translation>&lt;/strong&gt;.&lt;br /&gt;Nb joueurs : 1</translation>
    </message>
    <message>
        <source>&lt;/strong&gt;.&lt;br /&gt;Nb joueurs : 2</source>
        <translation>&lt;/strong&gt;.&lt;br /&gt;Nb joueurs : 2</translation>
    </message>
    <message>
        <source>&lt;/strong&gt;.&lt;br /&gt;Nb joueurs : %1</source>
        <translation>&lt;/strong&gt;.&lt;br /&gt;Nb joueurs : %1</translation>
    </message>
</context>
<context>
    <name>HelpMenu</name>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Aide</translation>
    </message>
    <message>
        <source>&amp;Rules</source>
        <translation>&amp;Règles</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>À &amp;propos</translation>
    </message>
    <message>
        <source>&lt;h3&gt;How to play&lt;/h3&gt;&lt;p&gt;&lt;b&gt;The rule.&lt;/b&gt; Black and white take turns to put a disc of their colour on the board. A disc must go where it encloses, in a line across, down or diagonally, one or more of the opponent&apos;s discs between itself and a disc of its own colour; all the enclosed discs turn over. Drag the disc from the list beside the board onto a square: the cursor shows whether it may go there.&lt;/p&gt;&lt;p&gt;&lt;b&gt;Passing.&lt;/b&gt; A player who has no such square passes with the button under the list, and the other player moves again.&lt;/p&gt;&lt;p&gt;&lt;b&gt;The end.&lt;/b&gt; The game ends when the board is full or neither player can move. Whoever has more discs wins; a report gives the score.&lt;/p&gt;&lt;p&gt;&lt;b&gt;Network play.&lt;/b&gt; One machine runs the server, &lt;tt&gt;ardesia-server&lt;/tt&gt;, on TCP port 50885. Each player chooses &lt;i&gt;Network, Play multi...&lt;/i&gt;, types the server&apos;s address and port, picks a colour and connects. The game begins when both colours are taken; white moves first.&lt;/p&gt;</source>
        <translation>&lt;h3&gt;Comment jouer&lt;/h3&gt;&lt;p&gt;&lt;b&gt;La règle.&lt;/b&gt; Noir et blanc posent tour à tour un pion de leur couleur sur le plateau. Un pion doit être posé de façon à enfermer, en ligne horizontale, verticale ou diagonale, un ou plusieurs pions adverses entre lui et un pion de sa couleur ; tous les pions enfermés sont retournés. Glissez le pion de la liste à côté du plateau sur une case : le curseur indique s&apos;il peut y aller.&lt;/p&gt;&lt;p&gt;&lt;b&gt;Passer.&lt;/b&gt; Un joueur qui n&apos;a aucune case de ce genre passe avec le bouton sous la liste, et l&apos;autre joueur rejoue.&lt;/p&gt;&lt;p&gt;&lt;b&gt;La fin.&lt;/b&gt; La partie s&apos;arrête quand le plateau est plein ou qu&apos;aucun joueur ne peut jouer. Celui qui a le plus de pions gagne ; un bilan donne le score.&lt;/p&gt;&lt;p&gt;&lt;b&gt;Jeu en réseau.&lt;/b&gt; Une machine lance le serveur, &lt;tt&gt;ardesia-server&lt;/tt&gt;, sur le port TCP 50885. Chaque joueur choisit &lt;i&gt;Réseau, Jouer en réseau...&lt;/i&gt;, tape l&apos;adresse et le port du serveur, choisit une couleur et se connecte. La partie commence quand les deux couleurs sont prises ; blanc joue le premier.&lt;/p&gt;</translation>
    </message>
    <message>
        <source>&lt;h3&gt;Ardesia %1&lt;/h3&gt;&lt;p&gt;Reversi against the computer or a friend over the network.&lt;/p&gt;&lt;p&gt;Network games go through a small relay server, &lt;tt&gt;ardesia-server&lt;/tt&gt;, which one machine runs for both players.&lt;/p&gt;&lt;p&gt;Copyright © 2026 the Ardesia developers.&lt;br&gt;This program is free software, licensed under the GNU General Public License, version 3 or any later version (GPL-3.0-or-later). It comes with ABSOLUTELY NO WARRANTY.&lt;/p&gt;</source>
        <translation>&lt;h3&gt;Ardesia %1&lt;/h3&gt;&lt;p&gt;Reversi contre l&apos;ordinateur ou un ami en réseau.&lt;/p&gt;&lt;p&gt;Les parties en réseau passent par un petit serveur relais, &lt;tt&gt;ardesia-server&lt;/tt&gt;, qu&apos;une machine lance pour les deux joueurs.&lt;/p&gt;&lt;p&gt;Copyright © 2026 les développeurs d&apos;Ardesia.&lt;br&gt;Ce programme est un logiciel libre, sous la licence publique générale GNU, version 3 ou toute version ultérieure (GPL-3.0-or-later). Il est fourni SANS AUCUNE GARANTIE.&lt;/p&gt;</translation>
    </message>
    <message>
        <source>Rules</source>
        <translation>Règles</translation>
    </message>
    <message>
        <source>About Ardesia</source>
        <translation>À propos d&apos;Ardesia</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>QArdesia multi</source>
        <translation>Ardesia</translation>
    </message>
    <message>
        <source>&amp;Game</source>
        <translation>&amp;Partie</translation>
    </message>
    <message>
        <source>&amp;Begin alone...</source>
        <translation>&amp;Jouer seul...</translation>
    </message>
    <message>
        <source>&amp;Restart</source>
        <translation>&amp;Recommencer</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Quitter</translation>
    </message>
    <message>
        <source>&amp;Network</source>
        <translation>&amp;Réseau</translation>
    </message>
    <message>
        <source>&amp;Play multi...</source>
        <translation>&amp;Jouer en réseau...</translation>
    </message>
    <message>
        <source>&amp;Options</source>
        <translation>&amp;Options</translation>
    </message>
    <message>
        <source>Show &amp;legal moves</source>
        <translation>Montrer les coups &amp;possibles</translation>
    </message>
    <message>
        <source>Show last &amp;move</source>
        <translation>Montrer le &amp;dernier coup</translation>
    </message>
    <message>
        <source>Show whose &amp;turn</source>
        <translation>Montrer à qui est le &amp;tour</translation>
    </message>
    <message>
        <source>Pion(s) noir:</source>
        <translation>Pion(s) noir:</translation>
    </message>
    <message>
        <source>Pion(s) blanc:</source>
        <translation>Pion(s) blanc:</translation>
    </message>
    <message>
        <source>C&apos;est votre tour !</source>
        <translation>C&apos;est votre tour !</translation>
    </message>
    <message>
        <source>Passer</source>
        <translation>Passer</translation>
    </message>
    <message>
        <source>Open Image</source>
        <translation>Ouvrir une image</translation>
    </message>
    <message>
        <source>The image file could not be loaded.</source>
        <translation>Le fichier image n&apos;a pas pu être chargé.</translation>
    </message>
    <message>
        <source>Black won the game.

</source>
        <translation>Les noirs ont gagné la partie.

</translation>
    </message>
    <message>
        <source>White won the game.

</source>
        <translation>Les blancs ont gagné la partie.

</translation>
    </message>
    <message>
        <source>Player :%1
</source>
        <translation>Joueur : %1
</translation>
    </message>
    <message>
        <source>Computer :%1
</source>
        <translation>Ordinateur : %1
</translation>
    </message>
    <message>
        <source>Au tour de l&apos;ordinateur</source>
        <translation>Au tour de l&apos;ordinateur</translation>
    </message>
    <message>
        <source>Au tour de l&apos;adversaire</source>
        <translation>Au tour de l&apos;adversaire</translation>
    </message>
    <message>
        <source>Partie terminée</source>
        <translation>Partie terminée</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Annuler le coup</translation>
    </message>
    <message>
        <source>Re&amp;do</source>
        <translation>&amp;Rejouer le coup</translation>
    </message>
    <message>
        <source>&amp;Hint</source>
        <translation>&amp;Conseil</translation>
    </message>
    <message>
        <source>Othello transcripts (*.txt);;All files (*)</source>
        <translation>Parties Othello (*.txt);;Tous les fichiers (*)</translation>
    </message>
    <message>
        <source>&amp;Save game...</source>
        <translation>&amp;Enregistrer la partie...</translation>
    </message>
    <message>
        <source>Save game</source>
        <translation>Enregistrer la partie</translation>
    </message>
    <message>
        <source>O&amp;pen game...</source>
        <translation>&amp;Ouvrir une partie...</translation>
    </message>
    <message>
        <source>Open game</source>
        <translation>Ouvrir une partie</translation>
    </message>
    <message>
        <source>&amp;Click and keyboard play</source>
        <translation>Jouer au &amp;clic et au clavier</translation>
    </message>
    <message>
        <source>&amp;Automatic pass</source>
        <translation>Passer &amp;automatiquement</translation>
    </message>
    <message>
        <source>&amp;Play at once</source>
        <translation>&amp;Jouer dès le lancement</translation>
    </message>
    <message>
        <source>&amp;Keep the final position</source>
        <translation>&amp;Garder la position finale</translation>
    </message>
    <message>
        <source>Show the move l&amp;ist</source>
        <translation>Afficher la l&amp;iste des coups</translation>
    </message>
    <message>
        <source>Fit the board to the &amp;window</source>
        <translation>Ajuster le plateau à la &amp;fenêtre</translation>
    </message>
    <message>
        <source>&amp;Level</source>
        <translation>&amp;Niveau</translation>
    </message>
    <message>
        <source>&amp;Beginner</source>
        <translation>&amp;Débutant</translation>
    </message>
    <message>
        <source>&amp;Normal</source>
        <translation>&amp;Normal</translation>
    </message>
    <message>
        <source>&amp;Strong</source>
        <translation>&amp;Fort</translation>
    </message>
    <message>
        <source>&amp;Expert</source>
        <translation>&amp;Expert</translation>
    </message>
    <message>
        <source>&amp;Master</source>
        <translation>&amp;Maître</translation>
    </message>
    <message>
        <source>Aucun coup possible : vous passez</source>
        <translation>Aucun coup possible : vous passez</translation>
    </message>
    <message>
        <source>L&apos;ordinateur réfléchit...</source>
        <translation>L&apos;ordinateur réfléchit...</translation>
    </message>
    <message>
        <source>You won %1-%2</source>
        <translation>Vous avez gagné %1-%2</translation>
    </message>
    <message>
        <source>You lost %1-%2</source>
        <translation>Vous avez perdu %1-%2</translation>
    </message>
    <message>
        <source>Draw %1-%2</source>
        <translation>Match nul %1-%2</translation>
    </message>
    <message>
        <source>The file does not hold a legal game.</source>
        <translation>Le fichier ne contient pas une partie valide.</translation>
    </message>
    <message>
        <source>L&apos;adversaire a quitté la partie</source>
        <translation>L&apos;adversaire a quitté la partie</translation>
    </message>
    <message>
        <source>Connexion au serveur perdue</source>
        <translation>Connexion au serveur perdue</translation>
    </message>
</context>
<context>
    <name>MoveListPanel</name>
    <message>
        <source>Black</source>
        <translation>Noir</translation>
    </message>
    <message>
        <source>White</source>
        <translation>Blanc</translation>
    </message>
    <message>
        <source>pass</source>
        <translation>passe</translation>
    </message>
</context>
<context>
    <name>PavotWidget</name>
    <message>
        <source>Le joueur blanc commence.</source>
        <translation>Le joueur blanc commence.</translation>
    </message>
</context>
<context>
    <name>SavedGame</name>
    <message>
        <source>This game cannot be saved as a transcript: %1</source>
        <translation>Cette partie ne peut pas être enregistrée : %1</translation>
    </message>
    <message>
        <source>The file could not be written: %1</source>
        <translation>Le fichier n&apos;a pas pu être écrit : %1</translation>
    </message>
    <message>
        <source>The file could not be read: %1</source>
        <translation>Le fichier n&apos;a pas pu être lu : %1</translation>
    </message>
    <message>
        <source>The file is too large to be a saved game.</source>
        <translation>Le fichier est trop grand pour être une partie enregistrée.</translation>
    </message>
    <message>
        <source>The file does not hold a legal game: %1</source>
        <translation>Le fichier ne contient pas une partie valide : %1</translation>
    </message>
</context>
</TS>
