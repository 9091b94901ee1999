# Pictures of our own. The targets that show them add them with
# ordevan_add_pictures(), which keeps the resources linked in.
set(ORDEVAN_PICTURES
    images/logo.svg
    images/flag-uk.svg
    images/flag-it.svg
    images/flag-fr.svg
    images/flag-de.svg
    images/warning.svg
    images/window-icon.svg
    icons/general.svg
    icons/copy.svg
    icons/options.svg
    icons/profiles.svg
    icons/datapath.svg
    icons/path.svg
    icons/run.svg
    icons/default.svg
    icons/read.svg
    icons/save.svg
    icons/save-down.svg)
list(TRANSFORM ORDEVAN_PICTURES PREPEND ${PROJECT_SOURCE_DIR}/resources/)

function(ordevan_add_pictures target)
    qt_add_resources(${target} ordevan_pictures
        PREFIX "/"
        BASE ${PROJECT_SOURCE_DIR}/resources
        FILES ${ORDEVAN_PICTURES})
endfunction()
