<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es">
<context>
    <name>CardBuilder</name>
    <message>
        <source>Resource with identifier &apos;101&apos; not found</source>
        <translation>No se encontró el recurso con el identificador &apos;101&apos;</translation>
    </message>
    <message>
        <source>No font on this computer has these characters of the message, so the card shows nothing in their place: %1. The Word file keeps them.</source>
        <translation>Ninguna fuente de este equipo tiene estos caracteres del mensaje, así que la tarjeta no muestra nada en su lugar: %1. El archivo de Word los conserva.</translation>
    </message>
</context>
<context>
    <name>CardOutput</name>
    <message>
        <source>Greeting card</source>
        <translation>Tarjeta de felicitación</translation>
    </message>
    <message>
        <source>File not found: %1</source>
        <translation>No se encontró el archivo: %1</translation>
    </message>
    <message>
        <source>Save File</source>
        <translation>Guardar archivo</translation>
    </message>
    <message>
        <source>Word Files (*.doc)</source>
        <translation>Archivos de Word (*.doc)</translation>
    </message>
    <message>
        <source>Done.</source>
        <translation>Hecho.</translation>
    </message>
    <message>
        <source>Save as PDF</source>
        <translation>Guardar como PDF</translation>
    </message>
    <message>
        <source>PDF Files (*.pdf)</source>
        <translation>Archivos PDF (*.pdf)</translation>
    </message>
    <message>
        <source>Are you sure you wish to overwrite %1 ?</source>
        <translation>¿Seguro que desea sobrescribir %1?</translation>
    </message>
    <message>
        <source>Thank you</source>
        <translation>Gracias</translation>
    </message>
    <message>
        <source>The card could not be drawn as a picture</source>
        <translation>No se pudo dibujar la tarjeta como imagen</translation>
    </message>
    <message>
        <source>Save as Picture</source>
        <translation>Guardar como imagen</translation>
    </message>
    <message>
        <source>PNG Pictures (*.png)</source>
        <translation>Imágenes PNG (*.png)</translation>
    </message>
    <message>
        <source>JPEG Pictures (*.jpg *.jpeg)</source>
        <translation>Imágenes JPEG (*.jpg *.jpeg)</translation>
    </message>
</context>
<context>
    <name>Conversions</name>
    <message>
        <source>Overflow</source>
        <translation>Desbordamiento</translation>
    </message>
    <message>
        <source>Division by zero</source>
        <translation>División por cero</translation>
    </message>
</context>
<context>
    <name>ErrorTrap</name>
    <message>
        <source>in %1 at line %2</source>
        <translation>en %1 en la línea %2</translation>
    </message>
    <message>
        <source>Please email screenshot of this message to %1</source>
        <translation>Envíe una captura de pantalla de este mensaje por correo electrónico a %1</translation>
    </message>
    <message>
        <source>Application Error</source>
        <translation>Error de la aplicación</translation>
    </message>
    <message>
        <source>Unexpected failure</source>
        <translation>Error inesperado</translation>
    </message>
    <message>
        <source>Object variable or With block variable not set</source>
        <translation>Variable de objeto o bloque With no establecido</translation>
    </message>
</context>
<context>
    <name>Form1</name>
    <message>
        <source>Short Message</source>
        <translation>Mensaje breve</translation>
    </message>
    <message>
        <source>Start Creating Template</source>
        <translation>Crear plantilla</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Ayuda</translation>
    </message>
    <message>
        <source>Load Sample/Example Data</source>
        <translation>Cargar datos de ejemplo</translation>
    </message>
    <message>
        <source>Questions? Please contact the Pelorin Cards Support Team, %1</source>
        <translation>¿Preguntas? Póngase en contacto con el equipo de asistencia de Pelorin Cards, %1</translation>
    </message>
</context>
<context>
    <name>Form2</name>
    <message>
        <source>Card view</source>
        <translation>Vista de la tarjeta</translation>
    </message>
    <message>
        <source>Greeting card</source>
        <translation>Tarjeta de felicitación</translation>
    </message>
    <message>
        <source>Zoom:</source>
        <translation>Zoom:</translation>
    </message>
    <message>
        <source>Zoom In</source>
        <translation>Acercar</translation>
    </message>
    <message>
        <source>Zoom Out</source>
        <translation>Alejar</translation>
    </message>
    <message>
        <source>&lt; Back</source>
        <translation>&lt; Atrás</translation>
    </message>
    <message>
        <source>Save Results To Word File</source>
        <translation>Guardar resultados en archivo de Word</translation>
    </message>
    <message>
        <source>Print…</source>
        <translation>Imprimir…</translation>
    </message>
    <message>
        <source>Save as PDF…</source>
        <translation>Guardar como PDF…</translation>
    </message>
    <message>
        <source>The card shows the template&apos;s own placeholder greeting, not the message.</source>
        <translation>La tarjeta muestra el saludo de ejemplo de la plantilla, no el mensaje.</translation>
    </message>
    <message>
        <source>The card has no message.</source>
        <translation>La tarjeta no tiene ningún mensaje.</translation>
    </message>
    <message>
        <source>Message on the card:</source>
        <translation>Mensaje de la tarjeta:</translation>
    </message>
    <message>
        <source>Zoom %1%</source>
        <translation>Zoom %1 %</translation>
    </message>
    <message>
        <source>Send by E-mail…</source>
        <translation>Enviar por correo electrónico…</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Copiar</translation>
    </message>
    <message>
        <source>Save as Picture…</source>
        <translation>Guardar como imagen…</translation>
    </message>
</context>
<context>
    <name>GenerationLock</name>
    <message>
        <source>Another copy of %1 has been making a card for %2 seconds; this card is made without waiting for it any longer.</source>
        <translation>Otra copia de %1 lleva %2 segundos creando una tarjeta; esta tarjeta se crea sin esperarla más.</translation>
    </message>
</context>
<context>
    <name>IsInstalled</name>
    <message>
        <source>Error 842001. A normal instance of Word could not be created.</source>
        <translation>Error 842001. No se pudo crear una instancia normal de Word.</translation>
    </message>
    <message>
        <source>1. Please make sure Word is installed on this computer.</source>
        <translation>1. Asegúrese de que Word está instalado en este equipo.</translation>
    </message>
    <message>
        <source>2. Please open Word normally and make sure a blank document opens immediately without any interrupting window (such as an Word file recovery window).</source>
        <translation>2. Abra Word de la forma habitual y asegúrese de que se abre enseguida un documento en blanco sin ninguna ventana intermedia (como una ventana de recuperación de archivos de Word).</translation>
    </message>
    <message>
        <source>3. Please make sure that when you double-click on a DOC or DOCX file that Word opens normally without any interrupting messages.</source>
        <translation>3. Asegúrese de que, al hacer doble clic en un archivo DOC o DOCX, Word se abre con normalidad sin ningún mensaje intermedio.</translation>
    </message>
    <message>
        <source>4. All versions of Word are supported by this software except for the rare Word Starter and Student editions.</source>
        <translation>4. Este programa admite todas las versiones de Word excepto las poco frecuentes ediciones Word Starter y Student.</translation>
    </message>
</context>
<context>
    <name>LibreOfficeWord</name>
    <message>
        <source>The item with the specified name wasn&apos;t found.</source>
        <translation>No se encontró el elemento con el nombre especificado.</translation>
    </message>
    <message>
        <source>Word could not select the item %1</source>
        <translation>Word no pudo seleccionar el elemento %1</translation>
    </message>
    <message>
        <source>The item with the specified name wasn&apos;t found on the page.</source>
        <translation>No se encontró en la página el elemento con el nombre especificado.</translation>
    </message>
    <message>
        <source>Word cannot type the text: nothing is selected.</source>
        <translation>Word no puede escribir el texto: no hay nada seleccionado.</translation>
    </message>
    <message>
        <source>Word could not type the text</source>
        <translation>Word no pudo escribir el texto</translation>
    </message>
    <message>
        <source>Word cannot type the text: the selected item holds no text.</source>
        <translation>Word no puede escribir el texto: el elemento seleccionado no contiene texto.</translation>
    </message>
    <message>
        <source>Word could not save the document as %1</source>
        <translation>Word no pudo guardar el documento como %1</translation>
    </message>
    <message>
        <source>the folder does not exist</source>
        <translation>la carpeta no existe</translation>
    </message>
    <message>
        <source>it is a folder</source>
        <translation>es una carpeta</translation>
    </message>
    <message>
        <source>Word could not save the document %1</source>
        <translation>Word no pudo guardar el documento %1</translation>
    </message>
    <message>
        <source>it was opened read-only</source>
        <translation>se abrió como de solo lectura</translation>
    </message>
    <message>
        <source>Word could not close the document %1</source>
        <translation>Word no pudo cerrar el documento %1</translation>
    </message>
    <message>
        <source>Word could not copy the document as a picture</source>
        <translation>Word no pudo copiar el documento como imagen</translation>
    </message>
    <message>
        <source>Word could not copy the document as a picture (no page was produced).</source>
        <translation>Word no pudo copiar el documento como imagen (no se generó ninguna página).</translation>
    </message>
    <message>
        <source>Word could not copy the document as a picture (the page could not be drawn).</source>
        <translation>Word no pudo copiar el documento como imagen (no se pudo dibujar la página).</translation>
    </message>
    <message>
        <source>Word could not export the document as PDF</source>
        <translation>Word no pudo exportar el documento como PDF</translation>
    </message>
    <message>
        <source>The document is closed.</source>
        <translation>El documento está cerrado.</translation>
    </message>
    <message>
        <source>Word could not open the document: %1</source>
        <translation>Word no pudo abrir el documento: %1</translation>
    </message>
    <message>
        <source>the file does not exist</source>
        <translation>el archivo no existe</translation>
    </message>
    <message>
        <source>the file cannot be read</source>
        <translation>no se puede leer el archivo</translation>
    </message>
    <message>
        <source>not a text document</source>
        <translation>no es un documento de texto</translation>
    </message>
    <message>
        <source>This command is not available because no document is open.</source>
        <translation>Este comando no está disponible porque no hay ningún documento abierto.</translation>
    </message>
    <message>
        <source>ActiveX component can&apos;t create object</source>
        <translation>El componente ActiveX no puede crear el objeto</translation>
    </message>
    <message>
        <source>no PDF was produced</source>
        <translation>no se generó ningún PDF</translation>
    </message>
</context>
<context>
    <name>Mail</name>
    <message>
        <source>No mail program could be started: %1</source>
        <translation>No se pudo iniciar ningún programa de correo: %1</translation>
    </message>
    <message>
        <source>xdg-email (xdg-utils) is not installed.</source>
        <translation>xdg-email (xdg-utils) no está instalado.</translation>
    </message>
    <message>
        <source>xdg-email ended with code %1.</source>
        <translation>xdg-email terminó con el código %1.</translation>
    </message>
    <message>
        <source>xdg-email ended with signal %1.</source>
        <translation>xdg-email terminó por la señal %1.</translation>
    </message>
    <message>
        <source>No mail program could be started: the desktop did not answer.</source>
        <translation>No se pudo iniciar ningún programa de correo: el escritorio no respondió.</translation>
    </message>
</context>
<context>
    <name>Main</name>
    <message>
        <source>Cannot create the folder &apos;%1&apos;: %2</source>
        <translation>No se puede crear la carpeta &apos;%1&apos;: %2</translation>
    </message>
    <message>
        <source>The folder &apos;%1&apos; is a symbolic link or not a folder, so it cannot be kept private. Remove it, then try again.</source>
        <translation>La carpeta &apos;%1&apos; es un enlace simbólico o no es una carpeta, así que no se puede mantener privada. Elimínela y vuelva a intentarlo.</translation>
    </message>
    <message>
        <source>The folder &apos;%1&apos; belongs to another user, so it cannot be kept private. Remove it or make it your own, then try again.</source>
        <translation>La carpeta &apos;%1&apos; pertenece a otro usuario, así que no se puede mantener privada. Elimínela o hágala suya y vuelva a intentarlo.</translation>
    </message>
    <message>
        <source>Cannot make the folder private &apos;%1&apos;: %2</source>
        <translation>No se puede hacer privada la carpeta &apos;%1&apos;: %2</translation>
    </message>
    <message>
        <source>Cannot create file &apos;%1&apos;: %2</source>
        <translation>No se puede crear el archivo &apos;%1&apos;: %2</translation>
    </message>
    <message>
        <source>Cannot write file &apos;%1&apos;: %2</source>
        <translation>No se puede escribir el archivo &apos;%1&apos;: %2</translation>
    </message>
    <message>
        <source>File not found &apos;%1&apos;: %2</source>
        <translation>No se encontró el archivo &apos;%1&apos;: %2</translation>
    </message>
    <message>
        <source>Permission denied &apos;%1&apos;: %2</source>
        <translation>Permiso denegado &apos;%1&apos;: %2</translation>
    </message>
    <message>
        <source>Bad file name or number</source>
        <translation>Nombre o número de archivo incorrecto</translation>
    </message>
    <message>
        <source>File not found: %1</source>
        <translation>No se encontró el archivo: %1</translation>
    </message>
    <message>
        <source>Invalid picture: %1</source>
        <translation>Imagen no válida: %1</translation>
    </message>
</context>
<context>
    <name>OfficeArtShapes</name>
    <message>
        <source>%1 is not a Word 97-2003 document%2</source>
        <translation>%1 no es un documento de Word 97-2003%2</translation>
    </message>
    <message>
        <source>The shapes of %1 cannot be read: %2</source>
        <translation>No se pueden leer las formas de %1: %2</translation>
    </message>
    <message>
        <source>The shapes of the document cannot be read: %1</source>
        <translation>No se pueden leer las formas del documento: %1</translation>
    </message>
    <message>
        <source>The document %1 cannot be read: %2</source>
        <translation>No se puede leer el documento %1: %2</translation>
    </message>
    <message>
        <source>The document cannot be read</source>
        <translation>No se puede leer el documento</translation>
    </message>
    <message>
        <source>The document</source>
        <translation>El documento</translation>
    </message>
</context>
<context>
    <name>OfficeGuard</name>
    <message>
        <source>The office engine could not be started: no watcher (%1)</source>
        <translation>No se pudo iniciar el motor de ofimática: sin vigilante (%1)</translation>
    </message>
</context>
<context>
    <name>OfficeProcess</name>
    <message>
        <source>The office engine could not be started: no private folder (%1)</source>
        <translation>No se pudo iniciar el motor de ofimática: sin carpeta privada (%1)</translation>
    </message>
    <message>
        <source>The office engine could not be started: cannot lock its private folder (%1)</source>
        <translation>No se pudo iniciar el motor de ofimática: no se puede bloquear su carpeta privada (%1)</translation>
    </message>
    <message>
        <source>The office engine could not be started: %1 is missing or not a program</source>
        <translation>No se pudo iniciar el motor de ofimática: %1 no existe o no es un programa</translation>
    </message>
    <message>
        <source>The office engine could not be started: %1</source>
        <translation>No se pudo iniciar el motor de ofimática: %1</translation>
    </message>
    <message>
        <source>The office engine could not be started: %1 (%2)</source>
        <translation>No se pudo iniciar el motor de ofimática: %1 (%2)</translation>
    </message>
    <message>
        <source>still running</source>
        <translation>aún en ejecución</translation>
    </message>
    <message>
        <source>it ended with exit code %1</source>
        <translation>terminó con el código de salida %1</translation>
    </message>
    <message>
        <source>it was ended by signal %1</source>
        <translation>fue terminado por la señal %1</translation>
    </message>
    <message>
        <source>it ended</source>
        <translation>terminó</translation>
    </message>
</context>
<context>
    <name>OfficeSession</name>
    <message>
        <source>The office engine could not be started: cannot write its font settings (%1)</source>
        <translation>No se pudo iniciar el motor de ofimática: no se pueden escribir sus ajustes de fuentes (%1)</translation>
    </message>
    <message>
        <source>The office engine could not be started: %1</source>
        <translation>No se pudo iniciar el motor de ofimática: %1</translation>
    </message>
    <message>
        <source>it did not come up within %1 seconds</source>
        <translation>no arrancó en %1 segundos</translation>
    </message>
    <message>
        <source>it did not answer within %1 seconds</source>
        <translation>no respondió en %1 segundos</translation>
    </message>
    <message>
        <source>Word could not quit</source>
        <translation>Word no pudo cerrarse</translation>
    </message>
    <message>
        <source>The office engine is no longer running.</source>
        <translation>El motor de ofimática ya no está en ejecución.</translation>
    </message>
    <message>
        <source>The office engine did not answer within %1 seconds and was stopped (%2).</source>
        <translation>El motor de ofimática no respondió en %1 segundos y se detuvo (%2).</translation>
    </message>
    <message>
        <source>%1: the office engine ended unexpectedly (%2).</source>
        <translation>%1: el motor de ofimática terminó inesperadamente (%2).</translation>
    </message>
    <message>
        <source>%1: the office engine ended unexpectedly (the connection to it was lost).</source>
        <translation>%1: el motor de ofimática terminó inesperadamente (se perdió la conexión con él).</translation>
    </message>
</context>
<context>
    <name>PdfPages</name>
    <message>
        <source>no page was produced</source>
        <translation>no se generó ninguna página</translation>
    </message>
    <message>
        <source>the page could not be drawn</source>
        <translation>no se pudo dibujar la página</translation>
    </message>
</context>
<context>
    <name>PictureBox</name>
    <message>
        <source>Invalid picture</source>
        <translation>Imagen no válida</translation>
    </message>
</context>
<context>
    <name>Printing</name>
    <message>
        <source>The card could not be printed: the print system (CUPS) does not answer at %1.</source>
        <translation>No se pudo imprimir la tarjeta: el sistema de impresión (CUPS) no responde en %1.</translation>
    </message>
    <message>
        <source>The card could not be printed on &quot;%1&quot;: %2</source>
        <translation>No se pudo imprimir la tarjeta en «%1»: %2</translation>
    </message>
    <message>
        <source>The card could not be printed: no printer was chosen.</source>
        <translation>No se pudo imprimir la tarjeta: no se eligió ninguna impresora.</translation>
    </message>
</context>
<context>
    <name>ProfileCache</name>
    <message>
        <source>The office engine could not be started: cannot write its profile (%1)</source>
        <translation>No se pudo iniciar el motor de ofimática: no se puede escribir su perfil (%1)</translation>
    </message>
</context>
<context>
    <name>QtPlatform</name>
    <message>
        <source>Cannot access the settings file %1</source>
        <translation>No se puede acceder al archivo de configuración %1</translation>
    </message>
    <message>
        <source>The settings file is damaged: %1</source>
        <translation>El archivo de configuración está dañado: %1</translation>
    </message>
    <message>
        <source>File not found: %1</source>
        <translation>No se encontró el archivo: %1</translation>
    </message>
    <message>
        <source>The clipboard holds no picture</source>
        <translation>El portapapeles no contiene ninguna imagen</translation>
    </message>
</context>
<context>
    <name>Skin</name>
    <message>
        <source>Argument not optional</source>
        <translation>El argumento no es opcional</translation>
    </message>
    <message>
        <source>Cannot load the skin %1: %2</source>
        <translation>No se puede cargar la apariencia %1: %2</translation>
    </message>
    <message>
        <source>The skin file is damaged: %1</source>
        <translation>El archivo de apariencia está dañado: %1</translation>
    </message>
    <message>
        <source>No skin loaded</source>
        <translation>No hay ninguna apariencia cargada</translation>
    </message>
    <message>
        <source>Invalid window handle</source>
        <translation>Identificador de ventana no válido</translation>
    </message>
    <message>
        <source>Member not found</source>
        <translation>No se encontró el miembro</translation>
    </message>
</context>
<context>
    <name>Snapshot</name>
    <message>
        <source>Invalid picture</source>
        <translation>Imagen no válida</translation>
    </message>
</context>
<context>
    <name>UnoRuntime</name>
    <message>
        <source>The office engine could not be started: %1</source>
        <translation>No se pudo iniciar el motor de ofimática: %1</translation>
    </message>
</context>
<context>
    <name>WindowPointer</name>
    <message>
        <source>Invalid picture</source>
        <translation>Imagen no válida</translation>
    </message>
</context>
</TS>
