# Authenticode signing of the programs that ship, when the publisher's
# certificate and key (PEM) are given: each is signed by scripts/sign as
# soon as it is linked, so the product's programs are signed before the
# payload packs them, and the installer carries them signed.
#
#   cmake --preset windows -DNIMBO_SIGNING_CERTIFICATE=cert.pem -DNIMBO_SIGNING_KEY=key.pem
set(NIMBO_SIGNING_CERTIFICATE "" CACHE FILEPATH "Authenticode certificate (PEM) to sign the programs with")
set(NIMBO_SIGNING_KEY "" CACHE FILEPATH "Private key (PEM) of that certificate")

function(sign_after_link target)
  if(NIMBO_SIGNING_CERTIFICATE AND NIMBO_SIGNING_KEY)
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${CMAKE_SOURCE_DIR}/scripts/sign ${NIMBO_SIGNING_CERTIFICATE} ${NIMBO_SIGNING_KEY}
              $<TARGET_FILE:${target}>
      VERBATIM)
  endif()
endfunction()
