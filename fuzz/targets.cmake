# Every fuzz target with the libraries of the readers it drives; its harness
# is fuzz_<name>.cpp and its seed corpus corpus/<name>/ (past crash inputs:
# crashes/<name>/). Included where wirtello_fuzz_target(name libraries...) is
# defined: by the libFuzzer build here and by the corpus replay of the tests.
wirtello_fuzz_target(contact_database wirtello_store)
wirtello_fuzz_target(company_record wirtello_store)
wirtello_fuzz_target(run_history wirtello_store)
wirtello_fuzz_target(companion_config wirtello_store)
wirtello_fuzz_target(jpeg wirtello_store)
wirtello_fuzz_target(print_font wirtello_print_core)
wirtello_fuzz_target(network_mode wirtello_admin_core)
wirtello_fuzz_target(update_info wirtello_admin_core)
wirtello_fuzz_target(command_line wirtello_companions wirtello_process_core)
wirtello_fuzz_target(envelope_records wirtello_envelope_core)
wirtello_fuzz_target(typed_number wirtello_envelope_core)
wirtello_fuzz_target(numbering_file wirtello_cash_document_core)
wirtello_fuzz_target(cash_document_file wirtello_cash_document_core)
wirtello_fuzz_target(cash_amount wirtello_cash_document_core)
wirtello_fuzz_target(text_lines wirtello_cash_words)
wirtello_fuzz_target(comment_log wirtello_uwagi_core)
wirtello_fuzz_target(document_register wirtello_segregator_core)
wirtello_fuzz_target(calendar_file wirtello_calendar_kit)
wirtello_fuzz_target(zip_entry_name wirtello_skarbiec_core)
